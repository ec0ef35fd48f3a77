#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "lookandfeel/colors.h"
#include "lookandfeel/localizer.h"
#include "lookandfeel/look_and_feel.h"
#include "lookandfeel/monitor.h"
#include "lookandfeel/object_links.h"
#include "lookandfeel/office11.h"
#include "lookandfeel/size_grip.h"
#include "lookandfeel/text.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/system.h"
#include "platform/rtl/component.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/published.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_stream.h"

namespace {

// A memory bitmap to draw on and read back.
class Canvas {
public:
    Canvas(int width, int height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(width, height, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, width, height};
        FillRectByColor(dc, all, clWhite);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// Sets one system colour for the life of the object.
class SysColor {
public:
    SysColor(int index, COLORREF value) : index_(index), saved_(GetSysColor(index)) {
        SetSysColors(1, &index_, &value);
    }
    ~SysColor() { SetSysColors(1, &index_, &saved_); }

private:
    int index_;
    COLORREF saved_;
};

TEST(Blends, RoundEveryTermAndClampEachChannel) {
    // Classic face D4D0C8, highlight 0A246A, window FFFFFF.
    EXPECT_EQ(BlendSystemColors(11, 9, 73), static_cast<TColor>(RGB(210, 212, 218)));
    // Negative shares subtract (-4.24 rounds to -4); 255 is the most a channel takes.
    EXPECT_EQ(BlendSystemColors(-2, 30, 72), static_cast<TColor>(RGB(183, 191, 212)));
    EXPECT_EQ(BlendSystemColors(100, 0, 100), static_cast<TColor>(RGB(255, 255, 255)));
    EXPECT_EQ(BlendSystemColors(-100, 0, 0), static_cast<TColor>(RGB(0, 0, 0)));
    {
        // A black or white button face gives the highlight colour whatever the shares.
        SysColor white(COLOR_BTNFACE, RGB(255, 255, 255));
        EXPECT_EQ(BlendSystemColors(11, 9, 73), static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT)));
        EXPECT_TRUE(IsHighContrastWhite());
    }
    {
        SysColor black(COLOR_BTNFACE, RGB(0, 0, 0));
        EXPECT_TRUE(IsHighContrastBlack());
        SysColor whiteText(COLOR_BTNTEXT, RGB(255, 255, 255));
        EXPECT_FALSE(IsHighContrastColoredText());
        SysColor yellowText(COLOR_BTNTEXT, RGB(255, 255, 0));
        EXPECT_TRUE(IsHighContrastColoredText());
    }
    // 50 % of 255 and 50 % of 0 is 128 (127.5 rounded up).
    EXPECT_EQ(BlendColors(clWhite, clBlack, 50), static_cast<TColor>(RGB(128, 128, 128)));
    EXPECT_EQ(BlendColors(clBtnFace, clWhite, 100), static_cast<TColor>(RGB(212, 208, 200)));
}

TEST(Gradients, TheColourAskedForIsTheOnePaintedInAtMost256Bands) {
    Canvas canvas(300, 20);
    for (int extent : {7, 256, 300}) {
        const RECT rect{0, 0, extent, 10};
        FillGradientRect(canvas.dc, rect, clRed, true, clBlue);
        std::vector<COLORREF> seen;
        for (int x = 0; x < extent; ++x) {
            const COLORREF painted = canvas.At(x, 5);
            EXPECT_EQ(painted, ColorToRGB(GetGradientColorAt(rect, x, clRed, true, clBlue)))
                << extent << " " << x;
            if (seen.empty() || seen.back() != painted) seen.push_back(painted);
        }
        EXPECT_EQ(seen.size(), static_cast<size_t>(std::min(extent, 256))) << extent;
        EXPECT_EQ(seen.front(), RGB(255, 0, 0));
        EXPECT_EQ(seen.back(), RGB(0, 0, 255));
    }
    // Vertical, and equal colours fill solid.
    FillGradientRect(canvas.dc, RECT{0, 0, 4, 20}, clLime, false, clLime);
    EXPECT_EQ(canvas.At(2, 19), RGB(0, 255, 0));
    FillGradientRect(canvas.dc, RECT{0, 0, 4, 20}, clBlack, false, clWhite);
    EXPECT_EQ(canvas.At(2, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(2, 19), RGB(255, 255, 255));
    // Two phases meet half way.
    FillTwoPhaseGradientRect(canvas.dc, RECT{0, 0, 100, 10}, clBlack, true, clWhite);
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(49, 0), RGB(128, 128, 128));
    EXPECT_EQ(canvas.At(50, 0), RGB(128, 128, 128));
    EXPECT_EQ(canvas.At(99, 0), RGB(255, 255, 255));
}

TEST(SizeGrip, CornerAndSquareFaceTheOwnersEdges) {
    const RECT owner{0, 0, 100, 100};
    EXPECT_EQ(GetSizeGripCorner(RECT{90, 90, 99, 100}, owner), 1); // left inside, bottom on the edge
    EXPECT_EQ(GetSizeGripCorner(RECT{90, 80, 99, 90}, owner), 3);
    EXPECT_EQ(GetSizeGripCorner(RECT{100, 80, 120, 90}, owner), 2);
    EXPECT_EQ(GetSizeGripCorner(RECT{100, 90, 120, 100}, owner), 0);
    EXPECT_EQ(GetSizeGripAreaHeight(),
              std::max(GetSystemMetrics(SM_CYHSCROLL) + 2, GetSystemMetrics(SM_CYSIZE)) + 1);

    Canvas canvas(80, 40);
    const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
    RECT bottomRight{40, 0, 80, 40};
    DrawSizeGrip(canvas.dc, bottomRight, 3);
    EXPECT_EQ(bottomRight.left, 80 - w);
    EXPECT_EQ(bottomRight.top, 40 - h);
    RECT topLeft{0, 0, 40, 40};
    DrawSizeGrip(canvas.dc, topLeft, 0);
    EXPECT_EQ(topLeft.right, w);
    EXPECT_EQ(topLeft.bottom, h);
    // The top-left grip is the bottom-right one turned half round.
    int marked = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF a = canvas.At(bottomRight.left + x, bottomRight.top + y);
            EXPECT_EQ(canvas.At(w - 1 - x, h - 1 - y), a);
            if (a != GetSysColor(COLOR_BTNFACE)) ++marked;
        }
    EXPECT_GT(marked, 0);
}

TEST(ObjectLinks, ALinkOutlivesItsObjectAndEveryLinkIsCleared) {
    auto object = std::make_unique<int>(1);
    TcxObjectLink* a = AddObjectLink(object.get());
    TcxObjectLinkPtr b = MakeObjectLink(object.get());
    int other = 2;
    TcxObjectLinkPtr c = MakeObjectLink(&other);
    EXPECT_EQ(a->Ref, object.get());
    ClearObjectLinks(object.get());
    object.reset();
    EXPECT_EQ(a->Ref, nullptr);
    EXPECT_EQ(b->Ref, nullptr);
    EXPECT_EQ(c->Ref, &other);
    RemoveObjectLink(a);
    // Links removed earlier are not touched by a later clear.
    c.reset();
    ClearObjectLinks(&other);
}

TEST(Localizer, OnlyTheExactTextIsReplaced) {
    EXPECT_EQ(LocalizeString(" Toolbars "), " Toolbars ");
    AddLocalizedString(" Toolbars ", " Barres ");
    EXPECT_EQ(LocalizeString(" Toolbars "), " Barres ");
    EXPECT_EQ(LocalizeString("Toolbars"), "Toolbars");
    EXPECT_EQ(LocalizeString(" toolbars "), " toolbars ");
    ClearLocalizedStrings();
    EXPECT_EQ(LocalizeString(" Toolbars "), " Toolbars ");
}

TEST(LookAndFeel, EffectiveValuesComeFromTheMasterChainOrTheDefaults) {
    std::vector<std::string> heard;
    auto master = std::make_unique<TcxLookAndFeel>(nullptr);
    TcxLookAndFeel follower(nullptr);
    follower.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues changed) {
        heard.push_back(changed.Contains(lfvKind) ? "kind" : "native");
    };
    EXPECT_EQ(follower.Kind(), RootLookAndFeel().Kind());
    EXPECT_FALSE(follower.NativeStyle());

    follower.SetMasterLookAndFeel(master.get());
    EXPECT_TRUE(heard.empty());
    master->SetKind(lfUltraFlat);
    EXPECT_EQ(follower.Kind(), lfUltraFlat);
    EXPECT_EQ(heard, std::vector<std::string>{"kind"});
    // A value of its own hides the master's.
    follower.SetKind(lfOffice11);
    master->SetKind(lfFlat);
    EXPECT_EQ(follower.Kind(), lfOffice11);
    EXPECT_EQ(heard.size(), 2u);
    follower.SetNativeStyle(false); // same effective value: nobody is told
    EXPECT_EQ(heard.size(), 2u);
    follower.Reset();
    EXPECT_EQ(follower.Kind(), lfFlat);
    EXPECT_EQ(heard.back(), "kind");

    // A master that goes leaves its followers with the defaults.
    master.reset();
    EXPECT_EQ(follower.MasterLookAndFeel(), nullptr);
    EXPECT_EQ(follower.Kind(), RootLookAndFeel().Kind());
    const auto savedKind = RootLookAndFeel().Kind();
    RootLookAndFeel().SetKind(lfUltraFlat);
    EXPECT_EQ(follower.Kind(), lfUltraFlat);
    RootLookAndFeel().SetKind(savedKind);

    TcxLookAndFeel copy(nullptr);
    follower.SetNativeStyle(true);
    copy.Assign(&follower);
    EXPECT_TRUE(copy.NativeStyle());
    EXPECT_EQ(copy.AssignedValues(), (TcxLookAndFeelValues{lfvNativeStyle}));
}

TEST(LookAndFeel, OnlyValuesSetHereAreStored) {
    class Holder : public TComponent {
    public:
        Holder() : TComponent(nullptr), lookAndFeel(this) {}
        std::string ClassName() const override { return "THolder"; }
        static const TPropertyTable& Table() {
            static const TPropertyTable table(&TComponent::Table(),
                                              {ObjectProperty<Holder>("LookAndFeel", &Holder::Get)});
            return table;
        }
        const TPropertyTable* PublishedProperties() const override { return &Table(); }
        TPersistent* Get() { return &lookAndFeel; }
        TcxLookAndFeel lookAndFeel;
    };
    Holder holder;
    holder.lookAndFeel.SetKind(lfFlat);
    TMemoryStream binary;
    WriteComponent(binary, &holder);
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(binary, text);
    EXPECT_NE(text.DataString().find("LookAndFeel.Kind = lfFlat"), std::string::npos);
    EXPECT_EQ(text.DataString().find("NativeStyle"), std::string::npos);
    binary.SetPosition(0);
    Holder copy;
    ReadComponent(binary, &copy);
    EXPECT_EQ(copy.lookAndFeel.AssignedValues(), (TcxLookAndFeelValues{lfvKind}));
    EXPECT_EQ(copy.lookAndFeel.Kind(), lfFlat);
}

TEST(Themes, NothingIsThemedAndNotificatorsHearChangesWhileTheyLive) {
    EXPECT_EQ(OpenTheme(totToolBar), nullptr);
    EXPECT_FALSE(AreVisualStylesAvailable(TdxThemeObjectTypes()));
    EXPECT_FALSE(AreVisualStylesAvailable(TdxThemeObjectTypes{totToolBar, totWindow}));
    int heard = 0;
    auto a = std::make_unique<TdxThemeChangedNotificator>();
    TdxThemeChangedNotificator b;
    // The first one told frees itself; the other is still told.
    a->OnThemeChanged = [&](TObject*) {
        ++heard;
        a.reset();
    };
    b.OnThemeChanged = [&](TObject*) { ++heard; };
    NotifyThemeChanged();
    EXPECT_EQ(heard, 2);
    NotifyThemeChanged();
    EXPECT_EQ(heard, 3);
}

TEST(Office11, TheSchemeLivesWhileItHasUsers) {
    const int users = Office11ColorsUsers();
    AcquireOffice11Colors();
    AcquireOffice11Colors();
    EXPECT_EQ(Office11ColorsUsers(), users + 2);
    EXPECT_FALSE(IsOffice11XPScheme());
    ASSERT_NE(Office11Brushes().Frame, nullptr);
    Canvas canvas(20, 20);
    FrameOffice11Rect(canvas.dc, RECT{2, 2, 10, 10});
    EXPECT_EQ(canvas.At(2, 5), ColorToRGB(Office11Colors().FrameColor));
    EXPECT_EQ(canvas.At(5, 5), RGB(255, 255, 255));
    DrawOffice11ArrowInRect(canvas.dc, RECT{10, 10, 20, 20}, Office11ArrowDown);
    EXPECT_EQ(canvas.At(14, 14), ColorToRGB(Office11Colors().MarkArrowColor));
    ReleaseOffice11Colors();
    ReleaseOffice11Colors();
    EXPECT_EQ(Office11ColorsUsers(), users);
    if (users == 0) {
        EXPECT_EQ(Office11Brushes().Frame, nullptr);
    }
    ReleaseOffice11Colors(); // more releases than acquires change nothing
    EXPECT_EQ(Office11ColorsUsers(), users);
}

TEST(Monitors, TheWorkAreaOfTheNearestMonitor) {
    const auto saved = pw::gui::Screens();
    pw::gui::SetScreens(
        {{RECT{0, 0, 800, 600}, RECT{0, 0, 800, 560}}, {RECT{800, 0, 1600, 600}, RECT{840, 0, 1600, 600}}});
    EXPECT_EQ(GetMonitorWorkArea(POINT{100, 100}).bottom, 560);
    EXPECT_EQ(GetMonitorWorkArea(POINT{2000, 100}).left, 840);
    pw::gui::SetScreens(saved);
}

TEST(Text, WholeStringsAreDrawnAndMeasured) {
    Canvas canvas(200, 40);
    RECT measured{0, 0, 200, 40};
    DrawStringText(canvas.dc, "Toolbars", -1, measured, DT_CALCRECT | DT_SINGLELINE);
    SIZE size{};
    GetStringTextExtent(canvas.dc, "Toolbars", -1, size);
    EXPECT_EQ(measured.right, size.cx);
    SIZE part{};
    GetStringTextExtent(canvas.dc, "Toolbars", 4, part);
    EXPECT_LT(part.cx, size.cx);
    EXPECT_TRUE(ExtTextOutString(canvas.dc, 0, 0, ETO_OPAQUE, &measured, "Toolbars"));
}

} // namespace
