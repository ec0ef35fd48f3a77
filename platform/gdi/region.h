#pragma once
// A region as a set of non-overlapping rectangles in y-x banded form: rows of equal-height bands,
// each band a sorted list of disjoint spans. The form is canonical, so equal sets compare equal.
#include <utility>
#include <vector>

#include "platform/rtl/wintypes.h"

class Region {
public:
    enum class Op { And, Or, Xor, Diff };

    Region() = default;
    explicit Region(const RECT& r);

    // Builds a region row by row: spans are [x0, x1) pairs for the row y (rows given in increasing y).
    class Builder {
    public:
        void AddRow(int y, std::vector<std::pair<int, int>> spans);
        Region Finish();

    private:
        void AddBand(int top, int bottom, const std::vector<std::pair<int, int>>& spans);
        std::vector<RECT> rects_;
        std::vector<std::pair<int, int>> lastSpans_;
        int lastBottom_ = 0;
        bool haveLast_ = false;
        friend class Region;
    };

    // Shapes are built row by row; rows outside rowLimit (when given) are left out, so drawing a huge
    // shape costs only what is visible.
    static Region Ellipse(const RECT& r, const RECT* rowLimit = nullptr);
    static Region Polygon(const POINT* points, int count, int fillMode, const RECT* rowLimit = nullptr);
    // A rectangle with quarter-ellipse corners of the given ellipse width and height.
    static Region RoundRect(const RECT& r, int ellipseWidth, int ellipseHeight,
                            const RECT* rowLimit = nullptr);
    static Region Combine(const Region& a, const Region& b, Op op);

    const std::vector<RECT>& Rects() const { return rects_; }
    bool IsEmpty() const { return rects_.empty(); }
    RECT Bounds() const;
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& r) const;
    void Offset(int dx, int dy);
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const;

    friend bool operator==(const Region&, const Region&) = default;

private:
    std::vector<RECT> rects_;
};
