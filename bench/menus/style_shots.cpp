// The main window's menus and toolbars in the flat, Office 2003 and XP styles, saved as pictures to
// look at: the toolbars at rest with a hot button, the File menu open, a menu with its tear-off strip,
// a toolbar docked at the left and a floating one. The XP style draws through the plain drawing theme
// (every themed part a box in its own colour), since the desktop offers no visual styles.
// Run by hand under a display:
//   style_shots DIR
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/main_form.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/toolbar_control.h"
#include "bench/support/usage.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/drawing_theme.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/application.h"

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) {
        Application->ProcessMessages();
        pw::gui::PaintPendingWindows();
        usleep(2000);
    }
}

POINT CentreOf(TdxBarItemLink* link) {
    const RECT box = dynamic_cast<bars::TdxBarItemControl*>(link->Control())->ScreenRect();
    return POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
}

} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, "usage: style_shots DIR\n", {});
    if (argc < 2) return 1;
    const std::string dir = argv[1];
    char config[] = "/tmp/pw-style-shots-XXXXXX";
    if (!::mkdtemp(config)) return 1;
    setenv("XDG_CONFIG_HOME", config, 1);
    Application->Initialize();
    StartBarUnit();
    bars::RegisterBarWindows();
    auto* form = new TfrmSiteMapMain(nullptr);
    form->SetBounds(100, 60, 700, 420);
    form->Show();
    TdxBarManager* manager = form->dxBarManager1;

    // A second toolbar: a checked button, a drop-down button, an edit and a combo, and a menu that
    // tears off into a floating toolbar.
    auto* bold = new TdxBarButton(form);
    bold->SetCaption("&Bold");
    bold->SetButtonStyle(bsChecked);
    bold->SetDown(true);
    auto* find = new TdxBarEdit(form);
    find->SetCaption("&Find");
    find->SetShowCaption(true);
    find->SetText("sitemap");
    auto* size = new TdxBarCombo(form);
    for (const char* s : {"Small", "Medium", "Large"})
        size->Items()->Add(s);
    size->SetItemIndex(1);
    TdxBar* floating = manager->Bars()->Add();
    floating->SetCaption("Torn off");
    floating->SetDockingStyle(dsNone);
    floating->SetFloatLeft(520);
    floating->SetFloatTop(330);
    floating->ItemLinks()->Add()->SetItem(form->miOpen);
    floating->ItemLinks()->Add()->SetItem(form->miSave);
    floating->SetVisible(true);
    auto* view = new TdxBarSubItem(form);
    view->SetCaption("&View");
    view->SetDetachable(true);
    view->SetDetachingBar(floating->Index());
    view->ItemLinks()->Add()->SetItem(bold);
    view->ItemLinks()->Add()->SetItem(form->miOptions);
    TdxBarItemLink* about = view->ItemLinks()->Add();
    about->SetItem(form->miAbout);
    about->SetBeginGroup(true);
    TdxBar* extra = manager->Bars()->Add();
    extra->SetCaption("Format");
    extra->SetDockingStyle(dsTop);
    extra->SetDockedTop(60);
    extra->ItemLinks()->Add()->SetItem(bold);
    extra->ItemLinks()->Add()->SetItem(find);
    extra->ItemLinks()->Add()->SetItem(size);
    TdxBarItemLink* viewLink = extra->ItemLinks()->Add();
    viewLink->SetItem(view);
    viewLink->SetBeginGroup(true);
    extra->SetVisible(true);
    TdxBar* side = manager->Bars()->Add();
    side->SetCaption("Side");
    side->SetDockingStyle(dsLeft);
    side->ItemLinks()->Add()->SetItem(form->miOpen);
    side->ItemLinks()->Add()->SetItem(form->miSave);
    side->SetVisible(true);
    Settle();

    pw::gdi::DrawingThemeLayer theme;
    const struct {
        TdxBarManagerStyle style;
        const char* name;
        bool themed;
    } styles[] = {{bmsFlat, "flat", false}, {bmsOffice11, "office2003", false}, {bmsXP, "xp", true}};
    int saved = 0;
    for (const auto& s : styles) {
        pw::gdi::SetThemeLayer(s.themed ? &theme : nullptr);
        NotifyThemeChanged();
        manager->SetStyle(s.style);
        Settle();
        RECT window{};
        GetWindowRect(form->Handle(), window);
        const RECT area{window.left, window.top, window.right + 40, window.bottom + 40};
        // A hot toolbar button.
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, CentreOf(extra->ItemLinks()->Items(0)));
        Settle();
        saved += pw::gui::SaveScreenImage(area, dir + "/style-" + s.name + "-bars.png") ? 1 : 0;
        // The File menu open, a line hot.
        pw::gui::SimulateClick(CentreOf(form->barMainMenu->ItemLinks()->Items(0)));
        Settle();
        if (form->mnuFile->ItemLinks()->Count() > 1 &&
            form->mnuFile->ItemLinks()->Items(1)->Control() != nullptr) {
            pw::gui::SimulateMouse(pw::gui::MouseAction::Move,
                                   CentreOf(form->mnuFile->ItemLinks()->Items(1)));
            Settle();
        }
        saved += pw::gui::SaveScreenImage(area, dir + "/style-" + s.name + "-menu.png") ? 1 : 0;
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        Settle();
        // The menu with its tear-off strip.
        pw::gui::SimulateClick(CentreOf(extra->ItemLinks()->Items(3)));
        Settle();
        saved += pw::gui::SaveScreenImage(area, dir + "/style-" + s.name + "-tearoff.png") ? 1 : 0;
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{window.right + 20, window.bottom + 20});
        Settle();
    }
    pw::gdi::SetThemeLayer(nullptr);
    NotifyThemeChanged();
    std::printf("%d pictures saved in %s\n", saved, dir.c_str());
    delete form;
    ShutdownBarUnit();
    delete Application;
    std::string rm = std::string("rm -rf ") + config;
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
