#pragma once
// The pieces the model tests share: the running application and toolbar unit, a form with a manager,
// and stand-ins for the windows and painters, which record what the model asks of them.
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_views.h"
#include "bars/core/window_services.h"
#include "platform/rtl/component.h"
#include "platform/rtl/stream.h"
#include "platform/vcl/form.h"
#include "platform/vcl/prompt.h"

class TdxBarManager;
class TdxBarButton;
class TdxBarSubItem;

namespace bars_test {

// Everything the fakes were asked, in order ("repaint Open", "rebuild Main Toolbar" ...).
std::vector<std::string>& Log();
std::string Joined();

class FakeBarControl;

class FakeItemControl : public bars::ItemControl {
public:
    explicit FakeItemControl(TdxBarItemLink* link);
    ~FakeItemControl() override;
    TdxBarItemLink* Link() const override { return link_; }
    bars::BarControl* Parent() const override;
    bool CanSelect() const override { return selectable; }
    bool IsSelected() const override;
    void Repaint() override;
    void EnabledChanged() override;
    void CaptionChanged() override;
    void GlyphChanged() override;
    void VisibleChanged() override;
    void DownChanged() override;
    bool selectable = true;
    static int alive;

private:
    void Note(const std::string& what) const;
    TdxBarItemLink* link_;
};

class FakeBarControl : public bars::BarControl {
public:
    FakeBarControl(TdxBarItemLinks* links, bool toolbar);
    ~FakeBarControl() override;
    TdxBarItemLinks* ItemLinks() const override { return links_; }
    bool IsToolbar() const override { return toolbar_; }
    HWND Handle() const override;
    bool IsVisible() const override { return true; }
    RECT ClientRect() const override { return RECT{0, 0, 1000, 100}; }
    TdxBarDockingStyle DockingStyle() const override { return style_; }
    bars::ItemControl* SelectedControl() const override { return selected_; }
    void SetSelectedControl(bars::ItemControl* control) override { selected_ = control; }
    void CreateControls() override;
    void RepaintBar() override;
    void SetDocked(TdxBarDockingStyle style, TComponent* site) override;
    SIZE FloatingSize() override { return SIZE{120, 40}; }
    void SavePosition() override;
    std::string Name() const;
    // Checked on every rebuild: the links it would show are all alive and belong to the collection.
    std::vector<TdxBarItemLink*> shownAtLastRebuild;
    static int alive;

private:
    TdxBarItemLinks* links_;
    bool toolbar_;
    // A hidden window, so that what the model posts to its bar windows arrives somewhere.
    HWND handle_ = nullptr;
    TdxBarDockingStyle style_ = dsNone;
    bars::ItemControl* selected_ = nullptr;
};

// A dock site along a form edge, as a plain component.
class FakeDockControl : public TComponent, public bars::DockControl {
public:
    FakeDockControl(TComponent* owner, TdxBarManager* manager, TdxBarDockingStyle side, bool edge);
    ~FakeDockControl() override;
    std::string ClassName() const override { return "TFakeDockControl"; }
    TComponent* Component() override { return this; }
    TdxBarManager* BarManager() const override { return manager_; }
    TdxBarDockingStyle DockingStyle() const override { return side_; }
    bool IsFormEdge() const override { return edge_; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    void SetWidth(int value) override { width = value; }
    void SetHeight(int value) override { height = value; }
    void InsertBarControl(bars::BarControl* control, POINT at) override;
    void RealignBars() override;
    int width = 0;
    int height = 0;

private:
    TdxBarManager* manager_;
    TdxBarDockingStyle side_;
    bool edge_;
};

// A painter with the given metrics for a style.
class FakePainter : public bars::Painter {
public:
    explicit FakePainter(int grip) : grip_(grip) {}
    int GetGripAreaSize() const override { return grip_; }
    int GetSeparatorMargin() const override { return grip_ + 1; }
    int GetFloatingBorderWidth() const override { return 3; }
    int GetFloatingBorderHeight() const override { return 3; }
    int GetFloatingCaptionAreaHeight(const TdxBar*) const override { return 15; }
    RECT GetDockedBorders(const TdxBar*, TdxBarDockingStyle) const override { return RECT{2, 2, 2, 2}; }

private:
    int grip_;
};

// Installs the fake windows, dock sites and painters for the life of the object.
class FakeWindows : public bars::WindowServices {
public:
    FakeWindows();
    ~FakeWindows() override;
    FakeWindows(const FakeWindows&) = delete;
    FakeWindows& operator=(const FakeWindows&) = delete;
    std::unique_ptr<bars::BarControl> MakeBarControl(TdxBarItemLinks* links, bool toolbar) const override;
    bars::DockControl* MakeDockControl(TdxBars* bars, TdxBarDockingStyle side, TCustomForm*) const override;
    bool QuickControlShown() const override { return quickControlShown; }
    const bars::Painter* FindPainter(TdxBarManagerStyle style) const override;
    FakePainter standard{9}, enhanced{6}, flat{8}, office{7};
    bool quickControlShown = false;
};

// Answers every message box with a fixed result and remembers the texts.
class ScriptedPrompter : public pw::vcl::Prompter {
public:
    explicit ScriptedPrompter(int answer);
    ~ScriptedPrompter() override;
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& request) override;
    std::vector<std::string> texts;

private:
    int answer_;
};

// A form that is read and written whole through the component stream.
class TestForm : public TForm {
public:
    explicit TestForm(TComponent* owner = nullptr) : TForm(owner) {}
    std::string ClassName() const override { return "TBarsTestForm"; }
};

// The form as its stream; a fresh form read from it.
std::vector<uint8_t> Stream(TestForm& form);
std::unique_ptr<TestForm> ReadForm(const std::vector<uint8_t>& stream);
// The stream in its text form.
std::string StreamText(TestForm& form);

// A button of Form with a name and caption, in category 0.
TdxBarButton* AddButton(TComponent* form, const std::string& name, const std::string& caption);
TdxBarSubItem* AddSubItem(TComponent* form, const std::string& name, const std::string& caption);

} // namespace bars_test
