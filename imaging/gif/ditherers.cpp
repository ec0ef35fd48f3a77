#include "imaging/gif/color_reduction.h"

#include <algorithm>

namespace {
int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}
} // namespace

int TDitherEngine::Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
    int index = lookup_.Lookup(red, green, blue, r, g, b);
    column_ += direction_;
    return index;
}

void TDitherEngine::NextLine() {
    direction_ = -direction_;
    column_ = direction_ == 1 ? 0 : width_ - 1;
}

// Column c reads the error of cell c + 1 and leaves the error for the row below in cell c, so
// the next row, walking either way, finds its error one cell to the right of its column.
TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup) {
    for (Channel& ch : channels_)
        ch.cells.assign(width + 2, 0);
}

int TFloydSteinbergDitherer::Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                    uint8_t& b) {
    const int in[3] = {red, green, blue};
    int value[3];
    for (int c = 0; c < 3; ++c) {
        Channel& ch = channels_[c];
        value[c] = Clamp255(in[c] + (ch.cells[pointer_ + direction_] + ch.current + 8) / 16);
        ch.current = value[c];
    }
    int index = TDitherEngine::Dither(static_cast<uint8_t>(value[0]), static_cast<uint8_t>(value[1]),
                                      static_cast<uint8_t>(value[2]), r, g, b);
    const int chosen[3] = {r, g, b};
    for (int c = 0; c < 3; ++c) {
        Channel& ch = channels_[c];
        int d = ch.current - chosen[c];
        // Also with no error the cell must be rewritten: it still holds the row above's error.
        ch.cells[pointer_] = ch.belowPrev + 3 * d;
        ch.belowPrev = ch.below + 5 * d;
        ch.below = d;
        ch.current = 7 * d;
    }
    pointer_ += direction_;
    return index;
}

void TFloydSteinbergDitherer::Skip() {
    for (Channel& ch : channels_) {
        ch.cells[pointer_] = ch.belowPrev;
        ch.belowPrev = ch.below;
        ch.below = 0;
        ch.current = 0;
    }
    pointer_ += direction_;
    column_ += direction_;
}

void TFloydSteinbergDitherer::NextLine() {
    for (Channel& ch : channels_) {
        ch.cells[pointer_] = ch.belowPrev;
        ch.current = ch.belowPrev = ch.below = 0;
    }
    TDitherEngine::NextLine();
    pointer_ = direction_ == 1 ? 0 : width_ + 1;
}

TKernelDitherer::TKernelDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor,
                                 int rounding, std::vector<Weight> kernel)
    : TDitherEngine(width, lookup), margin_(margin), divisor_(divisor), rounding_(rounding),
      kernel_(std::move(kernel)), pointer_(margin) {
    for (auto& channel : rows_)
        channel.assign(rows, std::vector<int32_t>(width + 2 * margin, 0));
}

int TKernelDitherer::Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
    const int in[3] = {red, green, blue};
    int value[3];
    for (int c = 0; c < 3; ++c)
        value[c] = Clamp255(in[c] + (rows_[c][0][pointer_] + rounding_) / divisor_);
    int index = TDitherEngine::Dither(static_cast<uint8_t>(value[0]), static_cast<uint8_t>(value[1]),
                                      static_cast<uint8_t>(value[2]), r, g, b);
    const int chosen[3] = {r, g, b};
    for (int c = 0; c < 3; ++c) {
        int e = value[c] - chosen[c];
        if (e == 0) continue;
        for (const Weight& w : kernel_)
            rows_[c][w.Row][pointer_ + w.Offset * direction_] += e * w.Value;
    }
    pointer_ += direction_;
    return index;
}

void TKernelDitherer::NextLine() {
    for (auto& channel : rows_) {
        std::fill(channel[0].begin(), channel[0].end(), 0);
        std::rotate(channel.begin(), channel.begin() + 1, channel.end());
    }
    TDitherEngine::NextLine();
    pointer_ = direction_ == 1 ? margin_ : width_ - 1 + margin_;
}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 3, 2, 42, 21,
                      {{0, 1, 8},
                       {0, 2, 4},
                       {1, -2, 2},
                       {1, -1, 4},
                       {1, 0, 8},
                       {1, 1, 4},
                       {1, 2, 2},
                       {2, -2, 1},
                       {2, -1, 2},
                       {2, 0, 4},
                       {2, 1, 2},
                       {2, 2, 1}}) {}

TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 3, 2, 32, 16,
                      {{0, 1, 5},
                       {0, 2, 3},
                       {1, -2, 2},
                       {1, -1, 4},
                       {1, 0, 5},
                       {1, 1, 4},
                       {1, 2, 2},
                       {2, -1, 2},
                       {2, 0, 3},
                       {2, 1, 2}}) {}

TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 3, 2, 48, 24,
                      {{0, 1, 7},
                       {0, 2, 5},
                       {1, -2, 3},
                       {1, -1, 5},
                       {1, 0, 7},
                       {1, 1, 5},
                       {1, 2, 3},
                       {2, -2, 1},
                       {2, -1, 3},
                       {2, 0, 5},
                       {2, 1, 3},
                       {2, 2, 1}}) {}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 4, 3, 200, 100,
                      {{0, 2, 32},
                       {1, -3, 12},
                       {1, -1, 26},
                       {1, 1, 30},
                       {1, 3, 16},
                       {2, -2, 12},
                       {2, 0, 26},
                       {2, 2, 12},
                       {3, -3, 5},
                       {3, -1, 12},
                       {3, 1, 12},
                       {3, 3, 5}}) {}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 2, 2, 32, 16,
                      {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}) {}

std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMethod mode, int width, TColorLookup& lookup) {
    switch (mode) {
    case dtNearest:
        return std::make_unique<TDitherEngine>(width, lookup);
    case dtFloydSteinberg:
        return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case dtStucki:
        return std::make_unique<TStuckiDitherer>(width, lookup);
    case dtSierra:
        return std::make_unique<TSierraDitherer>(width, lookup);
    case dtJaJuNi:
        return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case dtSteveArche:
        return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case dtBurkes:
        return std::make_unique<TBurkesDitherer>(width, lookup);
    }
    return nullptr;
}
