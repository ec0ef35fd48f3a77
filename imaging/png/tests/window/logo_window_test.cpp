// The program's logo: loaded from the embedded resources, painted with its transparency into a window,
// and the window saved as a PNG for a look by eye (png_logo_window.png in the working folder).
#include "imaging/png/png_resource.h"
#include "imaging/png/tests/png_test_support.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/picture.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/exception.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int kWidth = 112, kHeight = 64;
TPicture* painted = nullptr;

uint32_t StripeAt(int x) {
    return (x / 8) % 2 ? 0x3C3C3C : 0xF0F0C8;
}

// Stripes behind the logo show where it lets the background through; the second copy is given a
// rectangle smaller than the logo and must stay inside it.
LRESULT LogoWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, ps);
    TCanvas canvas;
    canvas.SetHandle(dc);
    for (int x = 0; x < kWidth; x += 8) {
        const uint32_t c = StripeAt(x);
        canvas.Brush().SetColor(TColor(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF)));
        canvas.FillRect(Rect(x, 0, x + 8, kHeight));
    }
    canvas.Draw(16, 16, painted->Graphic());
    canvas.StretchDraw(Rect(64, 16, 80, 32), painted->Graphic());
    canvas.SetHandle(nullptr);
    EndPaint(hwnd, ps);
    return 0;
}

} // namespace

TEST(PngLogo, LoadsFromResourcesAndPaintsWithTransparency) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "png_window_tests";
    char* argv[] = {name, nullptr};
    pw::gui::GuiApplication app(argc, argv);

    TPicture picture;
    ASSERT_TRUE(LoadPNGResource("QMPWLOGO", picture));
    ASSERT_TRUE(LoadPNGResource("qmpwlogo", picture)); // a second load replaces the picture
    auto* logo = dynamic_cast<TPNGObject*>(picture.Graphic());
    ASSERT_NE(logo, nullptr);
    ASSERT_EQ(logo->Width(), 32);
    ASSERT_EQ(logo->Height(), 32);
    EXPECT_EQ(logo->RequireHeader().ColorType(), 6);
    EXPECT_THROW(LoadPNGResource("QMPWNONE", picture), EResNotFound);
    EXPECT_EQ(picture.Graphic(), logo);

    WNDCLASS wc;
    wc.lpfnWndProc = LogoWindowProc;
    wc.lpszClassName = "PngLogoTestWindow";
    ASSERT_NE(RegisterClass(wc), 0);
    HWND window = CreateWindowEx(0, "PngLogoTestWindow", "logo", WS_POPUP | WS_VISIBLE, 20, 20, kWidth,
                                 kHeight, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    painted = &picture;
    InvalidateRect(window, nullptr, true);
    UpdateWindow(window);
    ASSERT_TRUE(pw::gui::SaveWindowImage(window, "png_logo_window.png"));
    DestroyWindow(window);

    // The saved screenshot, read back through the class itself: the logo blended over the stripes, and its
    // clipped copy showing the top-left 16 x 16 and nothing to its right or below.
    TPNGObject shot;
    shot.LoadFromFile("png_logo_window.png");
    ASSERT_EQ(shot.Width(), kWidth);
    int seen[3] = {0, 0, 0}; // clear, partial and solid pixels of the logo
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint32_t want = StripeAt(x);
            if (x >= 16 && x < 48 && y >= 16 && y < 48) {
                const uint32_t shown = png_test::ShownPixel(*logo, uint32_t(x - 16), uint32_t(y - 16));
                want = png_test::Over(shown, want);
                ++seen[(shown >> 24) == 0 ? 0 : (shown >> 24) == 255 ? 2 : 1];
            } else if (x >= 64 && x < 80 && y >= 16 && y < 32) {
                want = png_test::Over(png_test::ShownPixel(*logo, uint32_t(x - 64), uint32_t(y - 16)), want);
            }
            const uint32_t got = shot.ReadPixel(x, y);
            ASSERT_EQ((got & 0xFF) << 16 | (got & 0xFF00) | (got >> 16 & 0xFF), want) << x << "," << y;
        }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
    painted = nullptr;
}
