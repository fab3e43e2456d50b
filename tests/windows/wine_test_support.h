// Helpers shared by the Windows tests run under Wine.
#pragma once
