#pragma once
// Drawing the parts of tree rows: dotted lines, expand buttons and labels.
#include <string>

#include "platform/gdi/gdi_defs.h"

namespace pw::commctrl {

struct ItemGeometry {
    RECT row{};
    RECT button{}; // the indent column the button and branch sit in
    RECT image{};
    RECT label{};
};

enum class LabelLook { Normal, Selected, Inactive };

class TreePainter {
public:
    TreePainter(HDC dc, int indent, int itemHeight, bool enabled)
        : dc_(dc), indent_(indent), itemHeight_(itemHeight), enabled_(enabled) {}
    // A full-height line down the middle of an indent column.
    void VerticalLine(int column, const RECT& row);
    // The line into an item: from above (when there is something above), to the item, and on down when
    // a sibling follows.
    void Branch(int column, const RECT& row, bool above, bool below);
    void Button(const RECT& column, bool expanded);
    void Label(const RECT& label, const std::string& text, LabelLook look, bool focus);

private:
    void Dots(int x0, int y0, int x1, int y1);
    HDC dc_;
    int indent_;
    int itemHeight_;
    bool enabled_;
};

} // namespace pw::commctrl
