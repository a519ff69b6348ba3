#include "app/TrayOrder.h"

std::string TrayIconKey(const std::string& Program, uint32_t Uid) {
    return Program.empty() ? std::string() : Program + "#" + std::to_string(Uid);
}

int TrayMoveTarget(const TPlacement& Placement) {
    return Placement.To > Placement.From ? Placement.To - 1 : Placement.To;
}
