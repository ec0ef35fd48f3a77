// The customizing cursors, drawn here as 32 x 32 images: the arrow with a dragged button under it (with
// a plus to copy), a circle with a bar for no place, and a double arrow across a bar for sizing.
#include "bars/core/bar_cursors.h"

#include <cstdint>
#include <initializer_list>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/vcl/screen.h"

namespace bars {

namespace {

constexpr uint32_t kClear = 0x00000000u, kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;

// A picture from rows of characters: '#' black, '.' white, anything else clear.
void Paint(Surface& s, int x0, int y0, std::initializer_list<const char*> rows) {
    int y = y0;
    for (const char* row : rows) {
        for (int x = 0; row[x] != 0; ++x)
            if (row[x] == '#' || row[x] == '.') s.SetPixel(x0 + x, y, row[x] == '#' ? kBlack : kWhite);
        ++y;
    }
}

void Arrow(Surface& s) {
    Paint(s, 0, 0,
          {"#", "##", "#.#", "#..#", "#...#", "#....#", "#.....#", "#......#", "#.......#", "#........#",
           "#.....#####", "#..#..#", "#.# #..#", "##  #..#", "#    #..#", "     #..#", "      ##"});
}

// The dragged button: a dotted outline below and right of the arrow.
void DraggedButton(Surface& s) {
    for (int x = 8; x < 24; ++x)
        for (int y : {17, 27})
            s.SetPixel(x, y, (x % 2 == 0) ? kBlack : kWhite);
    for (int y = 17; y <= 27; ++y)
        for (int x : {8, 23})
            s.SetPixel(x, y, (y % 2 == 0) ? kBlack : kWhite);
}

HCURSOR MakeCursor(const Surface& image, int hotX, int hotY) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, image.Width(), image.Height());
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr) return nullptr;
    if (Surface* bits = GetBitmapSurface(bitmap)) *bits = image;
    HCURSOR cursor = CreateCursorFromBitmap(bitmap, hotX, hotY);
    DeleteObject(bitmap);
    return cursor;
}

Surface Blank() {
    return Surface(32, 32, kClear);
}

} // namespace

void LoadBarCursors() {
    if (Screen == nullptr) return;
    Surface drag = Blank();
    Arrow(drag);
    DraggedButton(drag);
    Surface copy = drag;
    Paint(copy, 20, 20, {"#######", "#.....#", "#..#..#", "#.###.#", "#..#..#", "#.....#", "#######"});
    Surface noDrop = Blank();
    Arrow(noDrop);
    // A circle with a bar across it.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const int dx = 2 * x - 11, dy = 2 * y - 11, d = dx * dx + dy * dy;
            if (d <= 121 && d >= 49) noDrop.SetPixel(14 + x, 16 + y, kBlack);
            if (d < 49 && (x == y || x == y + 1)) noDrop.SetPixel(14 + x, 16 + y, kBlack);
        }
    Surface sizing = Blank();
    Paint(sizing, 4, 11,
          {"    ##  ##", "   #.#  #.#", "  #..####..#", " #..........#", "#............#", " #..........#",
           "  #..####..#", "   #.#  #.#", "    ##  ##"});
    for (int y = 6; y < 26; ++y) {
        sizing.SetPixel(10, y, kBlack);
        sizing.SetPixel(11, y, kBlack);
    }
    Screen->SetCursors(crdxBarDrag, MakeCursor(drag, 0, 0));
    Screen->SetCursors(crdxBarDragCopy, MakeCursor(copy, 0, 0));
    Screen->SetCursors(crdxBarDragNoDrop, MakeCursor(noDrop, 0, 0));
    Screen->SetCursors(crdxBarEditSizing, MakeCursor(sizing, 11, 15));
}

void FreeBarCursors() {
    if (Screen == nullptr) return;
    for (TCursor cursor : {crdxBarDrag, crdxBarDragCopy, crdxBarDragNoDrop, crdxBarEditSizing})
        Screen->SetCursors(cursor, nullptr);
}

} // namespace bars
