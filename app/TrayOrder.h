#pragma once
// The order the user gave the notification-area icons, on plain data: each icon is known by
// its program and its id within the program, and is put in its place with the lasting order's
// rules (MergeOrder, NextPlacement).
#include <cstdint>
#include <string>

#include "app/LastingOrder.h"

// "program.exe#7" for the icon 7 of program.exe (ProgramKey); "" when the program is unknown.
std::string TrayIconKey(const std::string& Program, uint32_t Uid);
// The position TB_MOVEBUTTON takes for Placement (the button at From goes in front of the one at
// To): where it stands once it is taken out.
int TrayMoveTarget(const TPlacement& Placement);
