#include "bars/storage/fuzz/layout_load_input.h"

#include <cstdio>
#include <fstream>
#include <memory>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/storage/layout_storing.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/monitor.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/rtl/registry.h"
#include "platform/vcl/form.h"

namespace layout_fuzz {
namespace {

const char* const kRegistryPath = "Software\\Pathweaver\\FuzzedLayout";

class LayoutForm : public TForm {
public:
    LayoutForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TLayoutFuzzForm"; }
};

TdxBarButton* Command(TForm* Form, const char* Name) {
    auto* item = new TdxBarButton(Form);
    item->SetName(Name);
    item->SetCaption(Name);
    return item;
}

TdxBar* Bar(TdxBarManager* Manager, const char* Caption, std::initializer_list<TdxBarItem*> Items, int Row) {
    TdxBar* bar = Manager->Bars()->Add();
    bar->SetCaption(Caption);
    for (TdxBarItem* item : Items)
        bar->ItemLinks()->Add()->SetItem(item);
    bar->SetDockingStyle(dsTop);
    bar->SetRow(Row);
    bar->SetVisible(true);
    return bar;
}

void Pump() {
    for (int round = 0; round < 20 && ProcessMessages(); ++round) {
    }
}

// Written whole under a new name, so the registry notices another file even within one clock tick.
void WriteFile(const std::string& Path, const uint8_t* Data, size_t Size) {
    const std::string temporary = Path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
    }
    std::rename(temporary.c_str(), Path.c_str());
}

bool SoundBars(TdxBarManager* Manager) {
    if (Manager->MenuAnimations() < maNone || Manager->MenuAnimations() > maFade) return false;
    for (int i = 0; i < Manager->Bars()->Count(); ++i) {
        TdxBar* bar = Manager->Bars()->Items(i);
        if (!IsDockingStyle(bar->DockingStyle()) || !IsDockingStyle(bar->DockedDockingStyle())) return false;
        for (int j = 0; j < bar->ItemLinks()->Count(); ++j) {
            TdxBarItemLink* link = bar->ItemLinks()->Items(j);
            if (link->PaintStyle() < psStandard || link->PaintStyle() > psCaptionGlyph) return false;
            if ((link->UserDefine().Bits() & ~0xFu) != 0) return false;
        }
        auto* window = dynamic_cast<bars::TdxBarControl*>(bar->Control());
        if (!bar->Visible() || bar->DockingStyle() != dsNone || window == nullptr ||
            window->Handle() == nullptr)
            continue;
        RECT r{0, 0, 0, 0};
        GetWindowRect(window->Handle(), r);
        const RECT work = GetMonitorWorkArea(POINT{r.left, r.top});
        if (r.left < work.left || r.top < work.top || r.right > work.right || r.bottom > work.bottom)
            return false;
    }
    return true;
}

} // namespace

void StartBars() {
    StartBarUnit();
    bars::RegisterBarWindows();
}

bool LoadLayoutInput(const uint8_t* Data, size_t Size, const std::string& Folder) {
    const bool registry = Size > 0 && (Data[0] & 1) != 0;
    const uint8_t* content = Size > 0 ? Data + 1 : Data;
    const size_t length = Size > 0 ? Size - 1 : 0;
    const std::string ini = Folder + "/bars.ini", store = Folder + "/registry.dat";
    WriteFile(registry ? store : ini, content, length);
    SetRegistryStoreFile(store);

    auto form = std::make_unique<LayoutForm>();
    form->SetName("MainForm");
    form->SetBounds(40, 40, 500, 300);
    auto* manager = new TdxBarManager(form.get());
    manager->SetName("BarManager1");
    manager->SetStyle(bmsFlat);
    TdxBarButton* open = Command(form.get(), "Open");
    TdxBarButton* save = Command(form.get(), "Save");
    TdxBarButton* print = Command(form.get(), "Print");
    auto* menu = new TdxBarSubItem(form.get());
    menu->SetName("FileMenu");
    menu->ItemLinks()->Add()->SetItem(open);
    menu->ItemLinks()->Add()->SetItem(print);
    Bar(manager, "Main", {menu, open, save}, 0);
    Bar(manager, "Tools", {print, save}, 1);
    form->Show();
    Pump();

    if (registry)
        bars::LoadLayoutFromRegistry(manager, kRegistryPath);
    else
        bars::LoadLayoutFromIni(manager, ini);
    Pump();
    const bool sound = SoundBars(manager);
    // What was read goes out again as any layout does.
    if (registry)
        bars::SaveLayoutToRegistry(manager, kRegistryPath);
    else
        bars::SaveLayoutToIni(manager, ini);
    for (int i = 0; i < manager->Bars()->Count(); ++i)
        if (TdxBar* bar = manager->Bars()->Items(i); bar->DockingStyle() == dsNone) bar->SetVisible(false);
    form.reset();
    Pump();
    SetRegistryStoreFile("");
    return sound;
}

} // namespace layout_fuzz
