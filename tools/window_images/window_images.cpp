// Draws the pictures of the program's windows into the folder given on the command line: the exit
// window's picture (GIF), the About window's picture and the main window's banner (PNG), and the two
// hand cursors of the exit window; and the strip of the main toolbar's pictures (BMP, the clear parts in
// the colour its image list masks out).
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/rtl/exception.h"
#include "tools/window_images/image_files.h"
#include "tools/window_images/picture.h"
#include "tools/window_images/toolbar_images.h"
#include "tools/window_images/window_areas.h"

using namespace window_images;

namespace {

constexpr Rgba kNavy{20, 50, 120};
constexpr Rgba kBlue{45, 100, 180};
constexpr Rgba kGold{250, 200, 60};
constexpr Rgba kWhite{255, 255, 255};
constexpr Rgba kInk{40, 40, 60};
constexpr Rgba kGreen{60, 150, 70};
constexpr Rgba kTeal{30, 130, 140};
constexpr Rgba kOrange{230, 120, 30};

// A site tree: a root page and three pages under it, each with its name.
void SiteTree(Picture& P, int X, int Y, int Scale) {
    const int boxW = 30 * Scale, boxH = 10 * Scale;
    P.RoundBox(X, Y, X + boxW, Y + boxH, 2, kNavy, kNavy);
    P.CentredText(X, Y, X + boxW, Y + boxH, "HOME", Scale == 1 ? 1 : Scale - 1, kWhite);
    const int trunk = X + 8 * Scale;
    const Rgba leaves[3] = {kGreen, kTeal, kOrange};
    const std::string_view names[3] = {"PRODUCTS", "ABOUT", "CONTACT"};
    for (int i = 0; i < 3; ++i) {
        const int y = Y + boxH + 8 * Scale + i * 16 * Scale;
        P.Fill(trunk, Y + boxH, trunk + Scale, y + Scale, kNavy);
        P.Fill(trunk, y, trunk + 12 * Scale, y + Scale, kNavy);
        const int left = trunk + 12 * Scale;
        P.RoundBox(left, y - 5 * Scale, left + 48 * Scale, y + 6 * Scale, 2, leaves[i], leaves[i]);
        P.CentredText(left, y - 5 * Scale, left + 48 * Scale, y + 6 * Scale, names[i],
                      Scale == 1 ? 1 : Scale - 1, kWhite);
    }
}

void Button(Picture& P, const Area& A, std::string_view Caption, Rgba Color) {
    P.RoundBox(A.Left + 2, A.Top + 2, A.Left + A.Width + 2, A.Top + A.Height + 2, 6, Rgba{150, 150, 160},
               Rgba{150, 150, 160});
    P.RoundBox(A.Left, A.Top, A.Left + A.Width, A.Top + A.Height, 6, Color, kInk);
    P.CentredText(A.Left, A.Top, A.Left + A.Width, A.Top + A.Height, Caption, 2, kWhite);
}

Picture ExitPicture() {
    Picture p(480, 360, kWhite);
    p.VerticalGradient(0, 0, 480, 96, Rgba{16, 40, 100}, Rgba{40, 90, 170}, 24);
    p.CentredText(0, 10, 480, 30, "THANK YOU FOR USING", 2, kWhite);
    p.CentredText(0, 34, 480, 86, "PATHWEAVER", 5, kGold);
    SiteTree(p, 24, 112, 2);
    p.Text(236, 112, "YOUR SITE MAP", 2, kNavy);
    p.Text(236, 132, "IS READY.", 2, kNavy);
    p.Text(236, 162, "TELL THE SEARCH ENGINES", 1, kInk);
    p.Text(236, 174, "ABOUT IT, FIND A HOME FOR", 1, kInk);
    p.Text(236, 186, "YOUR SITE, OR KEEP EVERY", 1, kInk);
    p.Text(236, 198, "FEATURE FOR GOOD.", 1, kInk);
    Button(p, kSubmitArea, "SUBMIT NOW", kGreen);
    p.VerticalGradient(0, 272, 480, 360, Rgba{236, 238, 244}, Rgba{206, 212, 226}, 16);
    p.Fill(0, 272, 480, 273, Rgba{180, 186, 200});
    Button(p, kWebHostingArea, "GET WEB HOSTING", kBlue);
    Button(p, kBuyNowArea, "BUY NOW", kOrange);
    p.CentredText(0, 326, 480, 350, "DRAG THE PICTURE TO MOVE IT - CLOSE IT TO END", 1, Rgba{90, 90, 110});
    return p;
}

Picture AboutPicture() {
    Picture p(64, 64);
    p.RoundBox(0, 0, 64, 64, 10, Rgba{230, 236, 248}, kNavy);
    p.RoundBox(20, 6, 44, 16, 2, kNavy, kNavy);
    p.Fill(31, 16, 33, 56, kNavy);
    const Rgba leaves[3] = {kGreen, kTeal, kOrange};
    for (int i = 0; i < 3; ++i) {
        const int y = 24 + i * 12;
        p.Fill(33, y + 3, 40, y + 5, kNavy);
        p.RoundBox(40, y, 58, y + 8, 2, leaves[i], leaves[i]);
        p.Fill(10, y + 3, 31, y + 5, kNavy);
        p.RoundBox(6, y, 14, y + 8, 2, kGold, kGold);
    }
    return p;
}

Picture Banner() {
    Picture p(468, 60);
    p.VerticalGradient(0, 0, 468, 60, Rgba{16, 40, 100}, Rgba{45, 100, 180}, 30);
    p.RoundBox(8, 6, 56, 54, 8, Rgba{230, 236, 248}, kGold);
    p.RoundBox(22, 12, 42, 20, 2, kNavy, kNavy);
    p.Fill(31, 20, 33, 48, kNavy);
    for (int i = 0; i < 3; ++i) {
        p.Fill(33, 25 + i * 9, 38, 27 + i * 9, kNavy);
        p.RoundBox(38, 22 + i * 9, 50, 29 + i * 9, 2, i == 0 ? kGreen : i == 1 ? kTeal : kOrange, kNavy);
    }
    p.Text(70, 9, "PATHWEAVER", 3, kGold);
    p.Text(70, 38, "SITE MAPS AND SITEMAPS FOR YOUR WEB SITE", 1, kWhite);
    return p;
}

// 16 x 16 pixel art drawn at double size: '#' outline, 'w' the hand, '.' clear.
Picture Cursor(const std::array<std::string_view, 16>& Rows) {
    Picture p(32, 32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char c = Rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            if (c == '.') continue;
            p.Fill(2 * x, 2 * y, 2 * x + 2, 2 * y + 2, c == '#' ? Rgba{0, 0, 0} : kWhite);
        }
    return p;
}

// clang-format off
constexpr std::array<std::string_view, 16> kPointingHand = {
    "......##........",
    ".....#ww#.......",
    ".....#ww#.......",
    ".....#ww#.......",
    ".....#ww###.....",
    ".....#ww#ww###..",
    "..##.#ww#ww#ww#.",
    ".#ww##wwwwwww#w#",
    ".#www#wwwwwwwww#",
    "..#wwwwwwwwwwww#",
    "..#wwwwwwwwwww#.",
    "...#wwwwwwwwww#.",
    "...#wwwwwwwww#..",
    "....#wwwwwwww#..",
    "....#wwwwwwww#..",
    "....##########..",
};
constexpr std::array<std::string_view, 16> kClosedHand = {
    "................",
    "................",
    "................",
    "................",
    ".....##.##.##...",
    "....#ww#ww#ww##.",
    "....#wwwwwwww#w#",
    "..###wwwwwwwwww#",
    ".#ww#wwwwwwwwww#",
    ".#wwwwwwwwwwwww#",
    "..#wwwwwwwwwww#.",
    "...#wwwwwwwwww#.",
    "...#wwwwwwwww#..",
    "....#wwwwwwww#..",
    "....#wwwwwwww#..",
    "....##########..",
};
// clang-format on

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_images <output folder>\n");
        return 2;
    }
    try {
        const std::string folder = std::string(argv[1]) + "/";
        WriteGif(folder + "exit.gif", ExitPicture());
        WritePng(folder + "about.png", AboutPicture());
        WritePng(folder + "banner.png", Banner());
        WriteCursor(folder + "hand_online.cur", Cursor(kPointingHand), 13, 1);
        WriteCursor(folder + "hand_close.cur", Cursor(kClosedHand), 16, 16);
        WriteBmp(folder + "toolbar.bmp", ToolbarImages(), Rgba{255, 0, 255});
    } catch (const Exception& e) {
        std::fprintf(stderr, "window_images: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
