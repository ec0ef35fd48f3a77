#include "tools/window_images/toolbar_images.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string_view>

namespace window_images {
namespace {

constexpr Rgba kInk{40, 40, 60};
constexpr Rgba kWhite{255, 255, 255};
constexpr Rgba kPaperLine{150, 160, 180};
constexpr Rgba kFolderBack{220, 165, 50};
constexpr Rgba kFolderFront{250, 210, 95};
constexpr Rgba kFolderEdge{130, 85, 20};
constexpr Rgba kDiskBlue{50, 100, 185};
constexpr Rgba kDiskEdge{20, 45, 110};
constexpr Rgba kShutter{200, 205, 215};
constexpr Rgba kPenBody{240, 180, 40};
constexpr Rgba kSteel{150, 155, 170};
constexpr Rgba kGlobe{70, 140, 215};
constexpr Rgba kGlobeLines{170, 210, 245};
constexpr Rgba kArrow{60, 165, 70};
constexpr Rgba kArrowEdge{25, 90, 35};
constexpr Rgba kHelp{45, 100, 180};

// One cell-sized layer laid on the cell at X: its pixels as drawn, and a one-pixel outline in Edge
// around them on what was clear in the layer, so every shape stands out from any background.
void Stamp(Picture& P, int X, const Picture& Layer, Rgba Edge) {
    auto covered = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < Layer.Width() && y < Layer.Height() && Layer.At(x, y).A != 0;
    };
    for (int y = 0; y < Layer.Height(); ++y)
        for (int x = 0; x < Layer.Width(); ++x) {
            if (covered(x, y))
                P.Put(X + x, y, Layer.At(x, y));
            else if (covered(x - 1, y) || covered(x + 1, y) || covered(x, y - 1) || covered(x, y + 1))
                P.Put(X + x, y, Edge);
        }
}

// A disc without the lone pixels a strict radius leaves at its four ends.
void RoundDisc(Picture& P, int CX, int CY, int R, Rgba C) {
    for (int y = -R; y <= R; ++y)
        for (int x = -R; x <= R; ++x)
            if (x * x + y * y <= R * R + R) P.Put(CX + x, CY + y, C);
}

Picture Layer() {
    return Picture(kToolbarImageSize, kToolbarImageSize);
}

// A slanted band: rows Top to Bottom, its left edge going from Left at the top Shift pixels leftwards.
void Slanted(Picture& P, int Left, int Right, int Top, int Bottom, int Shift, Rgba C) {
    for (int y = Top; y < Bottom; ++y) {
        const int dx = (y - Top) * Shift / std::max(Bottom - Top - 1, 1);
        P.Fill(Left - dx, y, Right - dx, y + 1, C);
    }
}

void OpenFolder(Picture& P, int X) {
    Picture back = Layer();
    back.Fill(2, 6, 12, 9, kFolderBack);
    back.Fill(2, 9, 27, 28, kFolderBack);
    Stamp(P, X, back, kFolderEdge);
    Picture paper = Layer();
    paper.Fill(7, 5, 25, 18, kWhite);
    for (int y = 8; y < 16; y += 3)
        paper.Fill(9, y, 23, y + 1, kPaperLine);
    Stamp(P, X, paper, kInk);
    Picture front = Layer();
    Slanted(front, 8, 30, 14, 28, 6, kFolderFront);
    Stamp(P, X, front, kFolderEdge);
}

// A floppy disk in the square from (Left, Top), Size pixels wide.
Picture Floppy(int Left, int Top, int Size) {
    Picture p = Layer();
    const int right = Left + Size, bottom = Top + Size;
    p.Fill(Left, Top, right, bottom, kDiskBlue);
    p.Put(right - 1, Top, kClear);
    const int shutterLeft = Left + Size / 4, shutterRight = right - Size / 4;
    p.Fill(shutterLeft, Top, shutterRight, Top + Size * 3 / 8, kShutter);
    p.Fill(shutterRight - Size / 6, Top + 2, shutterRight - 2, Top + Size * 3 / 8 - 2, kDiskEdge);
    const int labelTop = Top + Size / 2;
    p.Fill(Left + 3, labelTop, right - 3, bottom, kWhite);
    for (int y = labelTop + 3; y < bottom - 1; y += 3)
        p.Fill(Left + 5, y, right - 5, y + 1, kPaperLine);
    return p;
}

void Save(Picture& P, int X) {
    Stamp(P, X, Floppy(4, 4, 24), kDiskEdge);
}

void SaveAs(Picture& P, int X) {
    Stamp(P, X, Floppy(2, 2, 21), kDiskEdge);
    // A pen lying from the upper right down to its point at the lower left.
    Picture pen = Layer();
    for (int d = -1; d <= 1; ++d)
        for (int i = 0; i <= 12; ++i) {
            pen.Put(29 - i + d, 12 + i, kPenBody);
            pen.Put(29 - i + d, 13 + i, kPenBody);
        }
    for (int i = 13; i <= 15; ++i) {
        pen.Put(29 - i, 12 + i, kInk);
        pen.Put(29 - i, 13 + i, kInk);
    }
    pen.Put(28, 11, kSteel);
    pen.Put(29, 11, kSteel);
    pen.Put(30, 12, kSteel);
    Stamp(P, X, pen, kInk);
}

void Options(Picture& P, int X) {
    Picture gear = Layer();
    constexpr int cx = 16, cy = 16;
    for (int k = 0; k < 8; ++k) {
        const double a = k * std::numbers::pi / 4;
        const int tx = cx + static_cast<int>(std::lround(11 * std::cos(a)));
        const int ty = cy + static_cast<int>(std::lround(11 * std::sin(a)));
        gear.Fill(tx - 2, ty - 2, tx + 3, ty + 3, kSteel);
    }
    RoundDisc(gear, cx, cy, 10, kSteel);
    RoundDisc(gear, cx, cy, 7, Rgba{185, 190, 205});
    RoundDisc(gear, cx, cy, 4, kClear);
    Stamp(P, X, gear, kInk);
}

void FtpUpload(Picture& P, int X) {
    Picture globe = Layer();
    constexpr int cx = 14, cy = 18, r = 11;
    RoundDisc(globe, cx, cy, r, kGlobe);
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x) {
            const int dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy > r * r + r) continue;
            // Two parallels, the equator and two meridians.
            const bool parallel = dy == 0 || dy == -6 || dy == 6;
            const bool meridian = dx == 0 || std::abs(dx * dx * 4 + dy * dy - r * r) < r + 1;
            if (parallel || meridian) globe.Put(x, y, kGlobeLines);
        }
    Stamp(P, X, globe, kDiskEdge);
    Picture arrow = Layer();
    for (int row = 0; row < 8; ++row)
        arrow.Fill(24 - row, 2 + row, 25 + row, 3 + row, kArrow);
    arrow.Fill(21, 10, 28, 21, kArrow);
    Stamp(P, X, arrow, kArrowEdge);
}

// clang-format off
constexpr std::array<std::string_view, 9> kQuestionMark = {
    ".#####.",
    "##...##",
    "##...##",
    "....##.",
    "...##..",
    "...##..",
    ".......",
    "...##..",
    "...##..",
};
// clang-format on

void Help(Picture& P, int X) {
    Picture badge = Layer();
    RoundDisc(badge, 16, 16, 13, kHelp);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 7; ++x)
            if (kQuestionMark[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#')
                badge.Fill(9 + 2 * x, 7 + 2 * y, 11 + 2 * x, 9 + 2 * y, kWhite);
    Stamp(P, X, badge, kDiskEdge);
}

} // namespace

Picture ToolbarImages() {
    Picture p(kToolbarImageSize * kToolbarImageCount, kToolbarImageSize);
    void (*const draw[kToolbarImageCount])(Picture&, int) = {OpenFolder, Save,      SaveAs,
                                                             Options,    FtpUpload, Help};
    for (int i = 0; i < kToolbarImageCount; ++i)
        draw[i](p, i * kToolbarImageSize);
    return p;
}

} // namespace window_images
