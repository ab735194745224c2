#include "win32/Anchors.h"

namespace {

// One axis: position and size for the new parent extent.
void Axis(int pos, int size, int designExtent, int extent, bool nearSide, bool farSide,
          int* outPos, int* outSize)
{
    const int delta = extent - designExtent;
    if (nearSide && farSide) {
        *outPos = pos;
        *outSize = size + delta > 0 ? size + delta : 0;
    } else if (farSide) {
        *outPos = pos + delta;
        *outSize = size;
    } else if (nearSide) {
        *outPos = pos;
        *outSize = size;
    } else {
        *outPos = pos + delta / 2;
        *outSize = size;
    }
}

} // namespace

LayoutRect AnchorRect(const LayoutRect& design, int designWidth, int designHeight, int width,
                      int height, int anchors)
{
    LayoutRect r;
    Axis(design.Left, design.Width, designWidth, width, (anchors & AnchorLeft) != 0,
         (anchors & AnchorRight) != 0, &r.Left, &r.Width);
    Axis(design.Top, design.Height, designHeight, height, (anchors & AnchorTop) != 0,
         (anchors & AnchorBottom) != 0, &r.Top, &r.Height);
    return r;
}
