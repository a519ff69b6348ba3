#pragma once
// The names of the main window's 30 saved control values, in the window's component order:
// three for each button (bUp, bDown, bHelp, bOk, bExit, bDemo_OLD), four for each check box
// (cbStartUp, cmodmove, cbMiddleClose). Plain data, shared by the native and the end-to-end tests.
#include <string>
#include <vector>

namespace zvtest {
inline const std::vector<std::string> kMainWindowControlValues = {
    "bUpVisible",           "bUpEnabled",           "bUpCaption",         "bDownVisible",
    "bDownEnabled",         "bDownCaption",         "cbStartUpCheck",     "cbStartUpVisible",
    "cbStartUpEnabled",     "cbStartUpCaption",     "cmodmoveCheck",      "cmodmoveVisible",
    "cmodmoveEnabled",      "cmodmoveCaption",      "cbMiddleCloseCheck", "cbMiddleCloseVisible",
    "cbMiddleCloseEnabled", "cbMiddleCloseCaption", "bHelpVisible",       "bHelpEnabled",
    "bHelpCaption",         "bOkVisible",           "bOkEnabled",         "bOkCaption",
    "bExitVisible",         "bExitEnabled",         "bExitCaption",       "bDemo_OLDVisible",
    "bDemo_OLDEnabled",     "bDemo_OLDCaption"};
} // namespace zvtest
