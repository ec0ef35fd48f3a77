#include "platform/gdi/region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/gdi/gdi_defs.h"

namespace {

using Spans = std::vector<std::pair<int, int>>;

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
    // One sweep down both regions, band by band: a band's rectangles share their top and bottom and
    // run left to right, so each side's spans for a strip are a slice of its list.
    struct Side {
        const std::vector<RECT>& rects;
        size_t next = 0;           // first rectangle of the band not yet passed
        size_t begin = 0, end = 0; // the band covering the strip, empty when none does
    };
    Side sa{a.rects_}, sb{b.rects_};
    auto advance = [](Side& side, int y) {
        // Passes the bands that end at or above y and takes the one that covers y, if any.
        side.begin = side.end = side.next;
        while (side.next < side.rects.size()) {
            const RECT& first = side.rects[side.next];
            size_t last = side.next + 1;
            while (last < side.rects.size() && side.rects[last].top == first.top)
                ++last;
            if (first.bottom <= y) {
                side.next = last;
                side.begin = side.end = last;
                continue;
            }
            if (first.top <= y) {
                side.begin = side.next;
                side.end = last;
            }
            break;
        }
    };
    // The next y at which either side starts or ends a band, after y.
    auto nextEdge = [](const Side& side, int y, int edge) {
        for (size_t i = side.next; i < side.rects.size(); ++i) {
            const RECT& r = side.rects[i];
            if (r.top > y) return std::min(edge, static_cast<int>(r.top));
            if (r.bottom > y) return std::min(edge, static_cast<int>(r.bottom));
        }
        return edge;
    };
    int y = std::min(a.rects_.empty() ? INT32_MAX : static_cast<int>(a.rects_.front().top),
                     b.rects_.empty() ? INT32_MAX : static_cast<int>(b.rects_.front().top));
    Builder builder;
    Spans spans;
    while (y != INT32_MAX) {
        advance(sa, y);
        advance(sb, y);
        const int bottom = nextEdge(sb, y, nextEdge(sa, y, INT32_MAX));
        if (bottom == INT32_MAX) break;
        spans.clear();
        // Walks the left and right edges of both slices in x order, keeping what the operation keeps.
        size_t ia = 2 * sa.begin, ib = 2 * sb.begin;
        const size_t ea = 2 * sa.end, eb = 2 * sb.end;
        auto edgeX = [](const std::vector<RECT>& rects, size_t k) {
            return static_cast<int>(k % 2 == 0 ? rects[k / 2].left : rects[k / 2].right);
        };
        bool inA = false, inB = false, open = false;
        int start = 0;
        while (ia < ea || ib < eb) {
            const int x = std::min(ia < ea ? edgeX(a.rects_, ia) : INT32_MAX,
                                   ib < eb ? edgeX(b.rects_, ib) : INT32_MAX);
            for (; ia < ea && edgeX(a.rects_, ia) == x; ++ia)
                inA = !inA;
            for (; ib < eb && edgeX(b.rects_, ib) == x; ++ib)
                inB = !inB;
            const bool keep = Keep(op, inA, inB);
            if (keep && !open) {
                open = true;
                start = x;
            } else if (!keep && open) {
                open = false;
                spans.emplace_back(start, x);
            }
        }
        if (spans.empty())
            builder.haveLast_ = false;
        else
            builder.AddBand(y, bottom, spans);
        y = bottom;
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
