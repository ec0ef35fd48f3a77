// The program's logo: loaded from the embedded resources, painted with its transparency into a window,
// and the window saved as a PNG for a look by eye (png_logo_window.png in the working folder).
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/png_object.h"
#include "imaging/png/png_resource.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/picture.h"
#include "platform/gui/gui_application.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/resource_stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[20] = "png_window_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
};

[[maybe_unused]] auto* environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

constexpr COLORREF kLight = RGB(240, 240, 200);
constexpr COLORREF kDark = RGB(60, 60, 60);
constexpr int kWidth = 112, kHeight = 64;

TPicture* painted = nullptr;

// Stripes behind the logo show where it lets the background through; the second copy is given a
// rectangle smaller than the logo and must stay inside it.
LRESULT LogoWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, ps);
    TCanvas canvas;
    canvas.SetHandle(dc);
    for (int x = 0; x < kWidth; x += 8) {
        canvas.Brush().SetColor(TColor((x / 8) % 2 ? kDark : kLight));
        canvas.FillRect(Rect(x, 0, x + 8, kHeight));
    }
    if (painted && painted->Graphic()) {
        canvas.Draw(16, 16, painted->Graphic());
        canvas.StretchDraw(Rect(64, 16, 80, 32), painted->Graphic());
    }
    canvas.SetHandle(nullptr);
    EndPaint(hwnd, ps);
    return 0;
}

COLORREF Blend(COLORREF src, int a, COLORREF dst) {
    const auto one = [&](int s, int d) { return uint8_t((s * a + 255 + (255 - a) * d) >> 8); };
    return RGB(one(GetRValue(src), GetRValue(dst)), one(GetGValue(src), GetGValue(dst)),
               one(GetBValue(src), GetBValue(dst)));
}

COLORREF StripeAt(int x) {
    return (x / 8) % 2 ? kDark : kLight;
}

} // namespace

TEST(PngLogo, LoadsFromResourcesAndPaintsWithTransparency) {
    TPicture picture;
    ASSERT_TRUE(LoadPNGResource("QMPWLOGO", picture));
    ASSERT_TRUE(LoadPNGResource("qmpwlogo", picture)); // a second load replaces the picture
    auto* logo = dynamic_cast<TPNGObject*>(picture.Graphic());
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->Width(), 32);
    EXPECT_EQ(logo->Height(), 32);
    EXPECT_EQ(logo->RequireHeader().ColorType(), 6);
    EXPECT_EQ(logo->AlphaKind(), pakPartial);
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

    // The saved screenshot, read back through the class itself.
    TPNGObject shot;
    shot.LoadFromFile("png_logo_window.png");
    ASSERT_EQ(shot.Width(), kWidth);
    const uint8_t* alpha = logo->RequireHeader().AlphaPlane();
    int clear = 0, partial = 0, solid = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int a = alpha[y * 32 + x];
            const COLORREF want = Blend(logo->ReadPixel(x, y), a, StripeAt(16 + x));
            ASSERT_EQ(shot.ReadPixel(16 + x, 16 + y), want) << x << "," << y;
            clear += a == 0;
            partial += a > 0 && a < 255;
            solid += a == 255;
        }
    EXPECT_GT(clear, 0);
    EXPECT_GT(partial, 0);
    EXPECT_GT(solid, 0);
    // The clipped copy: the logo's top-left 16 x 16 and nothing to its right or below.
    for (int y = 16; y < 40; ++y)
        for (int x = 60; x < 100; ++x) {
            const bool inside = x >= 64 && x < 80 && y < 32;
            const COLORREF want =
                inside ? Blend(logo->ReadPixel(x - 64, y - 16), alpha[(y - 16) * 32 + x - 64], StripeAt(x))
                       : StripeAt(x);
            ASSERT_EQ(shot.ReadPixel(x, y), want) << x << "," << y;
        }
    painted = nullptr;
    DestroyWindow(window);
}
