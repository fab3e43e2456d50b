// The subcommands of kerbo-pack; each takes the arguments after its name and
// returns the process exit code (0 success, 1 refused or failed, 2 usage).
#pragma once

int runBuildCommand(int argc, char** argv);    // build_command.cpp
int runInspectCommand(int argc, char** argv);  // inspect_command.cpp
int runTryCommand(int argc, char** argv);      // try_command.cpp
int runPictureCommand(int argc, char** argv);  // picture_command.cpp
int runCheckCommand(int argc, char** argv);    // check_command.cpp

// Authors' round trip: start from a template, get a description back from a
// quiz executable.
int runNewCommand(int argc, char** argv);  // new_command.cpp
