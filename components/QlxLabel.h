#pragma once
// TQlxLabel's choice of DrawText flags, platform-free. The label itself (QlxLabel_win.h) draws
// its caption with DrawText on its area.
#include <cstdint>

#include "toolkit/Classes.h"

// How a caption too long for the label is shortened.
enum TShowtype { shNormal, ShPath, shEnd };

// DrawText flags (their Windows values) of a label.
constexpr uint32_t kDtCenter = 0x1;
constexpr uint32_t kDtRight = 0x2;
constexpr uint32_t kDtExpandTabs = 0x40;
constexpr uint32_t kDtNoPrefix = 0x800;
constexpr uint32_t kDtPathEllipsis = 0x4000;
constexpr uint32_t kDtEndEllipsis = 0x8000;

// The flags a label draws its caption with: tabs expanded, the alignment, the ellipsis of
// Showtype, and no "&" mnemonics unless UsePrefix.
uint32_t QlxLabelDrawFlags(TShowtype Showtype, TAlignment Alignment, bool UsePrefix);
