#include <gtest/gtest.h>

#include "win32/Anchors.h"

TEST(Anchors, ControlsFollowTheirAnchoredEdges)
{
    const LayoutRect design{10, 20, 100, 30}; // in a 400 x 300 client area
    struct Case {
        int Anchors;
        int Width, Height;
        LayoutRect Expected;
    } cases[] = {
        {AnchorTopLeft, 500, 350, {10, 20, 100, 30}},
        {AnchorLeft | AnchorTop | AnchorRight, 500, 350, {10, 20, 200, 30}},
        {AnchorAll, 500, 350, {10, 20, 200, 80}},
        {AnchorRight | AnchorBottom, 500, 350, {110, 70, 100, 30}},
        {AnchorLeft | AnchorBottom, 300, 250, {10, -30, 100, 30}},
        {0, 500, 350, {60, 45, 100, 30}},
        {AnchorAll, 300, 200, {10, 20, 0, 0}}, // shrunk past the control: no negative size
        {AnchorAll, 400, 300, {10, 20, 100, 30}},
    };
    for (const Case& c : cases) {
        LayoutRect r = AnchorRect(design, 400, 300, c.Width, c.Height, c.Anchors);
        EXPECT_EQ(r, c.Expected) << c.Anchors << " " << c.Width << "x" << c.Height << ": " << r.Left
                                 << "," << r.Top << " " << r.Width << "x" << r.Height;
    }
}
