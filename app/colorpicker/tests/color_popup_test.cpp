// The popup as a person uses it: opened from the button, driven by keys and the mouse.
#include <gtest/gtest.h>

#include <vector>

#include "app/colorpicker/color_picker_button.h"
#include "app/colorpicker/color_popup.h"
#include "app/colorpicker/color_tables.h"
#include "picker_fixture.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

using namespace colorpicker;

namespace colorpicker_test {
namespace {

POINT Center(const TRect& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class PopupTest : public PickerTest {
protected:
    void SetUp() override {
        PickerTest::SetUp();
        AddPicker(20, 20);
        picker_->SetSelectionColor(clRed);
        picker_->OnChange = [this](TObject*) { changes_.push_back(picker_->SelectionColor()); };
        picker_->OnDefaultSelect = [this](TObject*) { ++defaults_; };
    }
    void Open() {
        ClickButton(picker_->Width() - 5, 10);
        ASSERT_TRUE(picker_->PopupOpen());
    }
    bool Shown() { return IsWindowVisible(Popup().Handle()) != 0; }
    std::vector<TColor> changes_;
    int defaults_ = 0;
};

TEST_F(PopupTest, TheDropDownZoneOpensItBelowTheButtonWithTheColourMarked) {
    ClickButton(picker_->Width() - picker_->DropDownWidth(), 10);
    EXPECT_FALSE(picker_->PopupOpen()) << "the zone starts right of Width - DropDownWidth";
    Open();
    EXPECT_TRUE(Shown());
    EXPECT_EQ(GetCapture(), picker_->CaptureWindow());
    EXPECT_EQ(Popup().ChosenCell(), 16) << "red";
    RECT r;
    GetWindowRect(Popup().Handle(), r);
    const TPoint below = picker_->ClientToScreen(TPoint{0, picker_->Height()});
    EXPECT_EQ(r.left, below.x - 1);
    EXPECT_EQ(r.top, below.y);
    EXPECT_EQ(r.bottom - r.top, Popup().Grid().WindowRect().bottom);
}

TEST_F(PopupTest, AClickOnACellChoosesItAndOutsideChangesNothing) {
    Open();
    ClickPopup(Center(Popup().Grid().CellRect(13)));
    EXPECT_FALSE(picker_->PopupOpen());
    EXPECT_FALSE(Shown());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(picker_->SelectionColor(), clBlue);
    EXPECT_EQ(changes_, std::vector<TColor>{clBlue});

    Open();
    const TPoint far = picker_->ClientToScreen(TPoint{300, 200});
    pw::gui::SimulateClick(POINT{far.x, far.y});
    Pump();
    EXPECT_FALSE(picker_->PopupOpen());
    EXPECT_EQ(picker_->SelectionColor(), clBlue);
    EXPECT_EQ(changes_.size(), 1u);

    Open();
    ClickPopup(Center(Popup().Grid().DefaultTextRect()));
    EXPECT_FALSE(picker_->PopupOpen());
    EXPECT_EQ(defaults_, 1);
    EXPECT_EQ(picker_->SelectionColor(), clBlue) << "the default cell only tells the owner";
}

TEST_F(PopupTest, KeysMoveTheHotCellAndChoose) {
    struct Move {
        int from;
        BYTE key;
        int to;
    };
    const Move moves[] = {
        {39, VK_RIGHT, kCustomCell},
        {kCustomCell, VK_RIGHT, kDefaultCell},
        {kDefaultCell, VK_RIGHT, 0},
        {0, VK_LEFT, kDefaultCell},
        {kDefaultCell, VK_LEFT, kCustomCell},
        {kCustomCell, VK_LEFT, 39},
        {8, VK_LEFT, 7},
        {3, VK_UP, kDefaultCell},
        {11, VK_UP, 3},
        {35, VK_DOWN, kCustomCell},
        {kCustomCell, VK_DOWN, kDefaultCell},
        {kDefaultCell, VK_DOWN, 0},
        {27, VK_DOWN, 35},
        {kDefaultCell, VK_UP, kCustomCell},
        {kCustomCell, VK_UP, 39},
    };
    Open();
    for (const Move& m : moves) {
        // The move starts from the chosen cell while no cell is hot.
        picker_->SetSelectionColor(m.from >= 0 ? ColorGrid::CellColor(m.from) : clDefault);
        Popup().SelectColor(picker_->SelectionColor());
        if (m.from == kCustomCell) Popup().ChooseCell(kCustomCell);
        Key(m.key);
        EXPECT_EQ(Popup().HotCell(), m.to) << m.from << " key " << int(m.key);
    }
    // Enter takes the hot cell; Escape leaves the colour.
    Popup().SelectColor(clRed);
    Key(VK_RIGHT);
    Key(VK_RETURN);
    EXPECT_FALSE(picker_->PopupOpen());
    EXPECT_EQ(picker_->SelectionColor(), ColorGrid::CellColor(17));
    Open();
    Key(VK_DOWN);
    Key(VK_ESCAPE);
    EXPECT_FALSE(picker_->PopupOpen());
    EXPECT_EQ(picker_->SelectionColor(), ColorGrid::CellColor(17));
    // Alt and the default text's accelerator choose the default.
    picker_->SetDefaultText("&None");
    Open();
    pw::gui::SimulateKey(VK_MENU, true);
    Key('N');
    pw::gui::SimulateKey(VK_MENU, false);
    Pump();
    EXPECT_FALSE(picker_->PopupOpen());
    EXPECT_EQ(defaults_, 1);
}

TEST_F(PopupTest, EnterOrSpaceWithoutAHotCellClosesWithoutAChange) {
    for (BYTE key : {VK_RETURN, VK_SPACE}) {
        picker_->SetSelectionColor(0x123456); // in no table: nothing is chosen either
        changes_.clear();
        Open();
        ASSERT_EQ(Popup().HotCell(), kNoCell);
        ASSERT_EQ(Popup().ChosenCell(), kNoCell);
        Key(key);
        EXPECT_FALSE(picker_->PopupOpen());
        EXPECT_EQ(picker_->SelectionColor(), 0x123456);
        EXPECT_TRUE(changes_.empty());
        EXPECT_EQ(defaults_, 0) << "no default was asked for";
    }
}

TEST_F(PopupTest, TheCustomPanelUnfoldsAndItsSliderAndCombChoose) {
    Open();
    const ColorGrid& grid = Popup().Grid();
    ClickPopup(Center(grid.CustomTextRect()));
    ASSERT_TRUE(picker_->PopupOpen()) << "the custom cell unfolds the panel";
    RECT r;
    GetWindowRect(Popup().Handle(), r);
    EXPECT_EQ(r.bottom - r.top, grid.GrayRowRect().bottom + 2 * grid.EdgeWidth);

    // Dragging the slider to its bottom darkens the comb's centre to black.
    const TRect slider = grid.SliderRect();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, OnScreen(POINT{slider.left + 4, slider.top + 5}));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, OnScreen(POINT{slider.left + 4, slider.top + 5}),
                           pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, OnScreen(POINT{slider.left + 4, slider.bottom}));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, OnScreen(POINT{slider.left + 4, slider.bottom}),
                           pw::gui::MouseButton::Left);
    Pump();
    EXPECT_TRUE(picker_->PopupOpen());
    EXPECT_FLOAT_EQ(Popup().Intensity(), 0.0f);
    EXPECT_EQ(Popup().Grid().CombCells()[0].Color, 0);
    EXPECT_TRUE(changes_.empty());

    // A press and release on a comb cell takes its colour and closes.
    const TColor dark = Popup().Grid().CombCells()[1].Color;
    ClickPopup(Popup().Grid().CombCellCenter(1));
    EXPECT_FALSE(picker_->PopupOpen());
    EXPECT_EQ(picker_->SelectionColor(), dark);
    EXPECT_EQ(dark & 0xFF, 42) << "a sixth of the way from black to magenta";

    // Reopened on that colour, the popup shows the panel with it chosen.
    Open();
    EXPECT_EQ(Popup().ChosenCell(), kCustomCell);
    EXPECT_EQ(Popup().CustomChoice(), 2);
}

TEST_F(PopupTest, FindCellNamesTheCellOfAColour) {
    Popup().HandleNeeded();
    struct Case {
        TColor color;
        bool system;
        int cell;
        int custom;
    };
    const Case cases[] = {
        {0xFFFFFF, false, 39, 0},
        {clNone, false, kNoCell, 0},
        {clDefault, false, kDefaultCell, 0},
        {clWindowText, false, 0, 0},
        {clWindowText, true, 48, 0},
        {clBlack, true, 0, 0},
        {clBtnFace, false, kNoCell, 0},
        {clBtnFace, true, 55, 0},
        {0xC0C0C0, true, 31, 0},
        {Rgb(225, 225, 225), false, kCustomCell, -2},
        {0x123456, false, kNoCell, 0},
    };
    for (const Case& c : cases) {
        picker_->SetShowSystemColors(c.system);
        EXPECT_EQ(Popup().FindCell(c.color), c.cell) << std::hex << c.color;
        EXPECT_EQ(Popup().ChosenCell(), c.cell);
        if (c.cell == kCustomCell) {
            EXPECT_EQ(Popup().CustomChoice(), c.custom);
        }
    }
    picker_->SetShowSystemColors(false);
    Popup().FindCell(Rgb(225, 225, 225));
    picker_->SetCustomText("");
    EXPECT_EQ(Popup().ChosenCell(), kNoCell) << "without its cell the custom choice goes";
}

TEST_F(PopupTest, NearTheScreensEdgesItOpensAboveAndStaysOnTheScreen) {
    picker_->SetBounds(330, 20, 60, 25);
    form_->SetBounds(600, 688, 400, 300);
    Pump();
    Open();
    RECT r;
    GetWindowRect(Popup().Handle(), r);
    const TPoint top = picker_->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(r.bottom, top.y) << "above the button";
    EXPECT_EQ(r.right, 1024) << "pulled back onto the screen";
}

TEST_F(PopupTest, HintsNameTheCellAndTheSliderIntensity) {
    picker_->SetShowHint(true);
    Open();
    auto hintAt = [&](POINT p) {
        THintInfo info;
        info.CursorPos = p;
        Popup().Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        return info;
    };
    EXPECT_EQ(hintAt(Center(Popup().Grid().CellRect(13))).HintStr, "Blue");
    picker_->OnHint = [](TObject*, int cell, std::string& hint) {
        hint = cell == kDefaultCell ? "No colour" : "";
    };
    EXPECT_EQ(hintAt(Center(Popup().Grid().DefaultTextRect())).HintStr, "No colour");
    picker_->SetHint("Pick a colour");
    EXPECT_EQ(hintAt(Center(Popup().Grid().CustomTextRect())).HintStr, "Pick a colour");
    Popup().ChooseCell(kCustomCell);
    const TRect slider = Popup().Grid().SliderRect();
    const THintInfo intensity = hintAt(POINT{slider.left + 3, slider.top + 3});
    EXPECT_EQ(intensity.HintStr, "Intensity: 100%");
    EXPECT_EQ(intensity.HideTimeout, 5000);
    EXPECT_EQ(hintAt(Popup().Grid().GrayCellCenter(16)).HintStr, "red: 0, green: 0, blue: 0");
    picker_->SetShowHint(false);
    THintInfo none;
    EXPECT_EQ(Popup().Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&none)), 1);
}

} // namespace
} // namespace colorpicker_test
