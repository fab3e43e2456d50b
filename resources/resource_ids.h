// Resource ids of the player's own resources (kerbo.rc).
#pragma once

// The application icon: the lowest icon group id, so the first group.
#define IDI_QUIZ 1
#define IDD_QUIZ_PAGE 1001
#define IDD_HEADER_BAR 1002
#define IDC_LINK_HAND 1003
#define IDI_PLAY 1004
#define IDI_STOP 1005
