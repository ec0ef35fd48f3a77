// The combo and edit items on a toolbar of the main window in every style, saved as pictures to look
// at: the combo at rest, while it is being edited with its list open, and an edit item beside it.
// Run by hand under a display:
//   combo_shots DIR
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/main_form.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/combo_control.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/toolbar_control.h"
#include "bench/support/usage.h"
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

} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, "usage: combo_shots DIR\n", {});
    if (argc < 2) return 1;
    const std::string dir = argv[1];
    char config[] = "/tmp/pw-combo-shots-XXXXXX";
    if (!::mkdtemp(config)) return 1;
    setenv("XDG_CONFIG_HOME", config, 1);
    Application->Initialize();
    StartBarUnit();
    bars::RegisterBarWindows();
    auto* form = new TfrmSiteMapMain(nullptr);
    form->SetBounds(100, 60, 640, 300);
    form->Show();
    TdxBarManager* manager = form->dxBarManager1;
    auto* combo = new TdxBarCombo(form);
    combo->SetCaption("Size");
    for (const char* s : {"Small", "Medium", "Large", "Huge"})
        combo->Items()->Add(s);
    combo->SetItemIndex(1);
    auto* edit = new TdxBarEdit(form);
    edit->SetCaption("&Find");
    edit->SetShowCaption(true);
    edit->SetText("sitemap");
    TdxBar* bar = manager->Bars()->Add();
    bar->SetCaption("Combo");
    bar->SetDockingStyle(dsTop);
    bar->SetDockedTop(60);
    bar->ItemLinks()->Add()->SetItem(combo);
    bar->ItemLinks()->Add()->SetItem(edit);
    // The same combo as a line of a menu.
    auto* zoom = new TdxBarSubItem(form);
    zoom->SetCaption("&Zoom");
    zoom->ItemLinks()->Add()->SetItem(combo);
    bar->ItemLinks()->Add()->SetItem(zoom);
    bar->SetVisible(true);
    Settle();
    const struct {
        TdxBarManagerStyle style;
        const char* name;
    } styles[] = {{bmsFlat, "flat"},
                  {bmsStandard, "standard"},
                  {bmsEnhanced, "enhanced"},
                  {bmsXP, "xp"},
                  {bmsOffice11, "office2003"}};
    int saved = 0;
    for (const auto& s : styles) {
        manager->SetStyle(s.style);
        Settle();
        auto* toolbar = dynamic_cast<bars::TdxBarControl*>(bar->Control());
        auto* control = dynamic_cast<bars::TdxBarComboControl*>(bar->ItemLinks()->Items(0)->Control());
        if (toolbar == nullptr || control == nullptr) continue;
        RECT window{};
        GetWindowRect(toolbar->Handle(), window);
        const RECT area{window.left - 4, window.top - 4, window.right + 200, window.bottom + 130};
        saved += pw::gui::SaveScreenImage(area, dir + "/combo-" + s.name + ".png") ? 1 : 0;
        const RECT box = control->ScreenRect();
        const POINT at{box.left + 10, (box.top + box.bottom) / 2};
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, at);
        Settle();
        saved += pw::gui::SaveScreenImage(area, dir + "/combo-" + s.name + "-hot.png") ? 1 : 0;
        pw::gui::SimulateClick(at);
        Settle();
        pw::gui::SimulateKeyStroke(VK_F4);
        pw::gui::SimulateKeyStroke(VK_DOWN);
        Settle();
        saved += pw::gui::SaveScreenImage(area, dir + "/combo-" + s.name + "-open.png") ? 1 : 0;
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        Settle();
        // The menu line: opened from the toolbar, then the combo in it edited with its list open.
        const RECT zoomBox =
            dynamic_cast<bars::TdxBarItemControl*>(bar->ItemLinks()->Items(2)->Control())->ScreenRect();
        const POINT zoomAt{(zoomBox.left + zoomBox.right) / 2, (zoomBox.top + zoomBox.bottom) / 2};
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, zoomAt);
        pw::gui::SimulateClick(zoomAt);
        Settle();
        if (TdxBarItemLink* line = zoom->ItemLinks()->Count() > 0 ? zoom->ItemLinks()->Items(0) : nullptr;
            line != nullptr && line->Control() != nullptr) {
            const RECT lineBox = dynamic_cast<bars::TdxBarItemControl*>(line->Control())->ScreenRect();
            const POINT lineAt{lineBox.right - 30, (lineBox.top + lineBox.bottom) / 2};
            pw::gui::SimulateMouse(pw::gui::MouseAction::Move, lineAt);
            Settle();
            saved += pw::gui::SaveScreenImage(area, dir + "/combo-" + s.name + "-menu.png") ? 1 : 0;
            pw::gui::SimulateClick(lineAt);
            Settle();
            pw::gui::SimulateKeyStroke(VK_F4);
            Settle();
            saved += pw::gui::SaveScreenImage(area, dir + "/combo-" + s.name + "-menu-open.png") ? 1 : 0;
        }
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{window.right + 50, window.bottom + 200});
        Settle();
    }
    std::printf("%d pictures saved in %s\n", saved, dir.c_str());
    delete form;
    ShutdownBarUnit();
    delete Application;
    std::string rm = std::string("rm -rf ") + config;
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
