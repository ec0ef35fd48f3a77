#include "platform/gdi/region.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi_defs.h"

namespace {

using Spans = std::vector<std::pair<int, int>>;

// Spans of the band [y0, y1) that lies wholly inside one band of the region.
Spans SpansAt(const std::vector<RECT>& rects, int y0, int y1) {
    Spans out;
    for (const RECT& r : rects)
        if (r.top <= y0 && r.bottom >= y1) out.emplace_back(r.left, r.right);
    return out;
}

std::pair<int, int> Rows(int top, int bottom, const RECT* limit) {
    if (!limit) return {top, bottom};
    return {std::max<int>(top, limit->top), std::min<int>(bottom, limit->bottom)};
}

bool Keep(Region::Op op, bool a, bool b) {
    switch (op) {
    case Region::Op::And:
        return a && b;
    case Region::Op::Or:
        return a || b;
    case Region::Op::Xor:
        return a != b;
    case Region::Op::Diff:
        return a && !b;
    }
    return false;
}

Spans CombineSpans(const Spans& a, const Spans& b, Region::Op op) {
    std::vector<int> xs;
    for (auto& s : a)
        xs.insert(xs.end(), {s.first, s.second});
    for (auto& s : b)
        xs.insert(xs.end(), {s.first, s.second});
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    auto inside = [](const Spans& spans, int x) {
        for (auto& s : spans)
            if (s.first <= x && x < s.second) return true;
        return false;
    };
    Spans out;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        if (!Keep(op, inside(a, xs[i]), inside(b, xs[i]))) continue;
        if (!out.empty() && out.back().second == xs[i])
            out.back().second = xs[i + 1];
        else
            out.emplace_back(xs[i], xs[i + 1]);
    }
    return out;
}

} // namespace

Region::Region(const RECT& r) {
    if (!IsRectEmpty(r)) rects_.push_back(r);
}

void Region::Builder::AddBand(int top, int bottom, const Spans& spans) {
    if (top >= bottom) return;
    if (haveLast_ && lastBottom_ == top && lastSpans_ == spans && !spans.empty()) {
        // Same spans as the band just above: stretch it instead of starting a new band.
        for (auto it = rects_.rbegin(); it != rects_.rend() && it->bottom == top; ++it)
            it->bottom = bottom;
        lastBottom_ = bottom;
        return;
    }
    for (auto& s : spans)
        rects_.push_back(RECT{s.first, top, s.second, bottom});
    lastSpans_ = spans;
    lastBottom_ = bottom;
    haveLast_ = true;
}

void Region::Builder::AddRow(int y, Spans spans) {
    std::sort(spans.begin(), spans.end());
    Spans merged;
    for (auto& s : spans) {
        if (s.first >= s.second) continue;
        if (!merged.empty() && s.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, s.second);
        else
            merged.push_back(s);
    }
    AddBand(y, y + 1, merged);
}

Region Region::Builder::Finish() {
    Region r;
    r.rects_ = std::move(rects_);
    rects_.clear();
    haveLast_ = false;
    return r;
}

Region Region::Ellipse(const RECT& box, const RECT* rowLimit) {
    Builder b;
    const double w = box.right - box.left, h = box.bottom - box.top;
    if (w <= 0 || h <= 0) return {};
    const double cx = box.left + w / 2.0, cy = box.top + h / 2.0, rx = w / 2.0, ry = h / 2.0;
    const auto [firstRow, endRow] = Rows(box.top, box.bottom, rowLimit);
    for (int y = firstRow; y < endRow; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double t = 1.0 - dy * dy;
        if (t < 0) continue;
        const double half = rx * std::sqrt(t);
        const int x0 = static_cast<int>(std::lround(cx - half)),
                  x1 = static_cast<int>(std::lround(cx + half));
        b.AddRow(y, {{x0, x1}});
    }
    return b.Finish();
}

Region Region::RoundRect(const RECT& box, int ew, int eh, const RECT* rowLimit) {
    const int w = box.right - box.left, h = box.bottom - box.top;
    if (w <= 0 || h <= 0) return {};
    ew = std::clamp(ew, 0, w);
    eh = std::clamp(eh, 0, h);
    if (ew < 2 || eh < 2) return Region(box);
    const double rx = ew / 2.0, ry = eh / 2.0;
    Builder b;
    const auto [firstRow, endRow] = Rows(box.top, box.bottom, rowLimit);
    for (int y = firstRow; y < endRow; ++y) {
        // Distance into the corner band from the nearer horizontal edge.
        const double fromTop = y + 0.5 - box.top, fromBottom = box.bottom - (y + 0.5);
        const double d = std::min(fromTop, fromBottom);
        int inset = 0;
        if (d < ry) {
            const double dy = (ry - d) / ry;
            inset = static_cast<int>(std::lround(rx - rx * std::sqrt(std::max(0.0, 1.0 - dy * dy))));
        }
        b.AddRow(y, {{box.left + inset, box.right - inset}});
    }
    return b.Finish();
}

Region Region::Polygon(const POINT* pts, int count, int fillMode, const RECT* rowLimit) {
    if (!pts || count < 3) return {};
    int top = pts[0].y;
    int bottom = top;
    for (int i = 1; i < count; ++i) {
        top = std::min<int>(top, pts[i].y);
        bottom = std::max<int>(bottom, pts[i].y);
    }
    Builder b;
    const auto [firstRow, endRow] = Rows(top, bottom, rowLimit);
    for (int y = firstRow; y < endRow; ++y) {
        // Pixel centres inside the outline, as the edge crossings of the scan line y + 0.5 decide.
        const double sy = y + 0.5;
        std::vector<std::pair<double, int>> cross;
        for (int i = 0; i < count; ++i) {
            const POINT& p = pts[i];
            const POINT& q = pts[(i + 1) % count];
            if (p.y == q.y) continue;
            const bool down = q.y > p.y;
            const double ylo = down ? p.y : q.y, yhi = down ? q.y : p.y;
            if (sy < ylo || sy >= yhi) continue;
            const double x = p.x + (sy - p.y) * double(q.x - p.x) / double(q.y - p.y);
            cross.emplace_back(x, down ? 1 : -1);
        }
        std::sort(cross.begin(), cross.end());
        Spans spans;
        int winding = 0;
        for (size_t i = 0; i + 1 < cross.size(); ++i) {
            winding += cross[i].second;
            const bool in = fillMode == WINDING ? winding != 0 : (i % 2) == 0;
            if (!in) continue;
            const int x0 = static_cast<int>(std::ceil(cross[i].first - 0.5));
            const int x1 = static_cast<int>(std::ceil(cross[i + 1].first - 0.5));
            spans.emplace_back(x0, x1);
        }
        b.AddRow(y, std::move(spans));
    }
    return b.Finish();
}

namespace {

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

Region Region::Combine(const Region& a, const Region& b, Op op) {
    // Clipping and damage mostly meet rectangles: those cases need no banding.
    if (op != Op::Xor) {
        if (a.IsEmpty()) return op == Op::Or ? b : Region();
        if (b.IsEmpty()) return op == Op::And ? Region() : a;
        const RECT ab = a.Bounds(), bb = b.Bounds();
        if (op == Op::And) {
            if (!Overlap(ab, bb)) return Region();
            if (b.rects_.size() == 1 && Inside(ab, bb)) return a;
            if (a.rects_.size() == 1 && Inside(bb, ab)) return b;
            if (a.rects_.size() == 1 && b.rects_.size() == 1)
                return Region(RECT{std::max(ab.left, bb.left), std::max(ab.top, bb.top),
                                   std::min(ab.right, bb.right), std::min(ab.bottom, bb.bottom)});
        } else if (op == Op::Diff) {
            if (!Overlap(ab, bb)) return a;
            if (b.rects_.size() == 1 && Inside(ab, bb)) return Region();
        } else {
            if (a.rects_.size() == 1 && Inside(bb, ab)) return a;
            if (b.rects_.size() == 1 && Inside(ab, bb)) return b;
        }
    }
    std::vector<int> ys;
    for (auto& r : a.rects_)
        ys.insert(ys.end(), {static_cast<int>(r.top), static_cast<int>(r.bottom)});
    for (auto& r : b.rects_)
        ys.insert(ys.end(), {static_cast<int>(r.top), static_cast<int>(r.bottom)});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    Builder builder;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const Spans s =
            CombineSpans(SpansAt(a.rects_, ys[i], ys[i + 1]), SpansAt(b.rects_, ys[i], ys[i + 1]), op);
        if (s.empty()) {
            builder.haveLast_ = false;
            continue;
        }
        builder.AddBand(ys[i], ys[i + 1], s);
    }
    return builder.Finish();
}

RECT Region::Bounds() const {
    if (rects_.empty()) return {};
    RECT b = rects_.front();
    for (auto& r : rects_) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

bool Region::Contains(int x, int y) const {
    for (auto& r : rects_)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

bool Region::Intersects(const RECT& q) const {
    RECT tmp;
    for (auto& r : rects_)
        if (IntersectRect(tmp, r, q)) return true;
    return false;
}

void Region::Offset(int dx, int dy) {
    for (auto& r : rects_)
        OffsetRect(r, dx, dy);
}

int Region::Complexity() const {
    if (rects_.empty()) return NULLREGION;
    return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
