#include "components/QlxLabel.h"

uint32_t QlxLabelDrawFlags(TShowtype Showtype, TAlignment Alignment, bool UsePrefix) {
    uint32_t flags = kDtExpandTabs;
    if (Alignment == taCenter)
        flags |= kDtCenter;
    else if (Alignment == taRightJustify)
        flags |= kDtRight;
    if (Showtype == ShPath)
        flags |= kDtPathEllipsis;
    else if (Showtype == shEnd)
        flags |= kDtEndEllipsis;
    if (!UsePrefix)
        flags |= kDtNoPrefix;
    return flags;
}
