#pragma once
// What the program says about itself: its version, its licence, and the
// answers to --help and --version, which are printed without starting the
// windows (and so without a display).

#include <QString>

// The version CMake's project() gives, e.g. "0.2".
QString ProgramVersion();
// The licence's SPDX name and its text's address.
QString LicenceId();
QString LicenceUrl();

// Whether the user reads Russian: the messages locale of the environment
// (LC_ALL, then LC_MESSAGES, then LANG) is a Russian one.
bool RussianUser();

// The text --version prints.
QString VersionText(bool russian);
// The text --help prints.
QString HelpText(bool russian);

// When the arguments ask for --help (-h) or --version (-v), prints the
// answer to standard output and returns true; the program then ends with 0.
// Any other argument is left to Qt.
bool PrintInfoOption(int argc, char** argv);
