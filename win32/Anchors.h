#pragma once
// How a control follows its parent's edges when the parent is resized. A
// pure function, so that layouts are tested without a window.

enum AnchorEdges {
    AnchorLeft = 1,
    AnchorTop = 2,
    AnchorRight = 4,
    AnchorBottom = 8,
    AnchorTopLeft = AnchorLeft | AnchorTop,
    AnchorAll = AnchorLeft | AnchorTop | AnchorRight | AnchorBottom,
};

struct LayoutRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const LayoutRect& o) const
    {
        return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
    }
};

// The control's rectangle in a parent whose client area is now
// (width, height), given its rectangle in a client area of
// (designWidth, designHeight). An edge that is anchored keeps its distance to
// that side of the parent; with neither side of an axis anchored the control
// keeps its size and stays centred where it was. Sizes never go below zero.
LayoutRect AnchorRect(const LayoutRect& design, int designWidth, int designHeight, int width,
                      int height, int anchors);
