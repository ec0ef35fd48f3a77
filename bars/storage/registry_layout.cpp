// The layout under a registry key: options in the key itself, one subkey per bar and per named sub-item,
// one subkey below those per link.
#include <memory>
#include <string>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/storage/layout_common.h"
#include "bars/storage/layout_storing.h"
#include "platform/graphics/bitmap.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/stream.h"

namespace bars {
namespace {

struct RegistryJob {
    TdxBarManager* manager;
    TRegistry registry;
    TMemoryStream stream;
};

void SaveItemLinksToRegistry(RegistryJob& Job, const std::string& Key, TdxBarItemLinks* Links) {
    TRegistry& reg = Job.registry;
    reg.WriteInteger("ItemLinkCount", Links->Count());
    reg.CloseKey();
    const bool toolbar = IsToolbarLinks(Links), usage = StoresUsage(Job.manager, Links);
    for (int j = 0; j < Links->Count(); ++j) {
        TdxBarItemLink* link = Links->Items(j);
        // A link whose item has no name cannot be found again: its number stays unused.
        if (link->Item() == nullptr || link->Item()->Name().empty()) continue;
        if (!reg.OpenKey(Key + "\\ItemLink" + std::to_string(j), true)) continue;
        reg.WriteString("ItemName", link->Item()->Name());
        reg.WriteBool("BeginGroup", link->StoredBeginGroup());
        const TdxBarUserDefines defines = link->UserDefine();
        const auto bits = static_cast<uint8_t>(defines.Bits());
        reg.WriteBinaryData("UserDefine", &bits, 1);
        if (defines.Contains(udCaption)) reg.WriteString("UserCaption", link->UserCaption());
        if (defines.Contains(udGlyph)) {
            link->UserGlyph()->SaveToStream(Job.stream);
            reg.WriteBinaryData("UserGlyph", Job.stream.Memory(), static_cast<int>(Job.stream.Size()));
            Job.stream.Clear();
        }
        if (defines.Contains(udPaintStyle)) reg.WriteInteger("UserPaintStyle", link->UserPaintStyle());
        if (defines.Contains(udWidth)) reg.WriteInteger("UserWidth", link->UserWidth());
        if (toolbar) reg.WriteBool("Visible", link->Visible());
        if (usage) {
            reg.WriteInteger("UseCount", link->UseCount());
            reg.WriteInteger("RecentIndex", link->RecentIndex());
        }
        reg.CloseKey();
    }
}

void LoadItemLinksFromRegistry(RegistryJob& Job, const std::string& Key, TdxBarItemLinks* Links) {
    TRegistry& reg = Job.registry;
    Links->Clear();
    const int count = reg.ValueExists("ItemLinkCount") ? reg.ReadInteger("ItemLinkCount") : 0;
    const int existing = NumberedNames(reg.KeyNames()).Count("ItemLink", count);
    reg.CloseKey();
    const bool toolbar = IsToolbarLinks(Links), usage = StoresUsage(Job.manager, Links);
    for (int j = 0; j < existing; ++j) {
        if (!reg.OpenKey(Key + "\\ItemLink" + std::to_string(j), false)) continue;
        try {
            TdxBarItem* item = Job.manager->ItemByName(reg.ReadString("ItemName"));
            if (item != nullptr) {
                TdxBarItemLink* link = Links->Add();
                link->SetItem(item);
                link->SetBeginGroup(reg.ReadBool("BeginGroup"));
                uint8_t bits = 0;
                reg.ReadBinaryData("UserDefine", &bits, 1);
                const auto defines = TdxBarUserDefines::FromBits(StoredUserDefineBits(bits));
                link->SetUserDefine(defines);
                if (defines.Contains(udCaption)) link->SetUserCaption(reg.ReadString("UserCaption"));
                if (defines.Contains(udGlyph)) {
                    const int size = reg.GetDataSize("UserGlyph");
                    Job.stream.SetSize(size > 0 ? size : 0);
                    if (size > 0) reg.ReadBinaryData("UserGlyph", Job.stream.Memory(), size);
                    Job.stream.SetPosition(0);
                    auto glyph = std::make_unique<TBitmap>();
                    if (size > 0) glyph->LoadFromStream(Job.stream);
                    link->SetUserGlyph(glyph.get());
                    Job.stream.Clear();
                }
                if (defines.Contains(udPaintStyle))
                    link->SetUserPaintStyle(StoredOrdinal(reg.ReadInteger("UserPaintStyle"), kPaintStyles,
                                                          link->UserPaintStyle()));
                if (defines.Contains(udWidth))
                    link->SetUserWidth(StoredCoordinate(reg.ReadInteger("UserWidth")));
                if (toolbar && reg.ValueExists("Visible")) link->SetLoadedVisible(reg.ReadBool("Visible"));
                if (usage && reg.ValueExists("UseCount"))
                    link->SetLoadedUseCount(reg.ReadInteger("UseCount"));
                if (usage && reg.ValueExists("RecentIndex"))
                    link->SetLoadedRecentIndex(reg.ReadInteger("RecentIndex"));
            }
        } catch (const Exception&) {
            // What was read of this link stays; the next one is read as usual.
        }
        reg.CloseKey();
    }
    Links->RestoreRecentState(true);
}

// The bar's stored values, in the order they were written; a failure leaves the rest as they are.
void LoadBarValuesFromRegistry(RegistryJob& Job, TdxBar* Bar) {
    TRegistry& reg = Job.registry;
    Bar->SetCaption(reg.ReadString("Caption"));
    Bar->SetDockedDockControl(ResolveDockControlPath(Job.manager, reg.ReadString("DockedDockControl")));
    Bar->SetDockedDockingStyle(
        StoredOrdinal(reg.ReadInteger("DockedDockingStyle"), kDockingStyles, Bar->DockedDockingStyle()));
    Bar->SetDockedLeft(StoredCoordinate(reg.ReadInteger("DockedLeft")));
    Bar->SetDockedTop(StoredCoordinate(reg.ReadInteger("DockedTop")));
    Bar->SetOneOnRow(reg.ReadBool("OneOnRow"));
    Bar->SetRow(StoredCoordinate(reg.ReadInteger("Row")));
    Bar->SetFloatLeft(StoredCoordinate(reg.ReadInteger("FloatLeft")));
    Bar->SetFloatTop(StoredCoordinate(reg.ReadInteger("FloatTop")));
    Bar->SetFloatClientWidth(StoredCoordinate(reg.ReadInteger("FloatClientWidth")));
    Bar->SetFloatClientHeight(StoredCoordinate(reg.ReadInteger("FloatClientHeight")));
    Bar->SetDockControl(ResolveDockControlPath(Job.manager, reg.ReadString("DockControl")));
    Bar->SetDockingStyle(StoredOrdinal(reg.ReadInteger("DockingStyle"), kDockingStyles, Bar->DockingStyle()));
    const bool visible = reg.ReadBool("Visible");
    TdxBars* bars = Job.manager->Bars();
    const bool loading = bars->Loading();
    bars->SetLoading(true);
    Bar->SetVisible(visible);
    bars->SetLoading(loading);
}

} // namespace

void SaveLayoutToRegistry(TdxBarManager* Manager, const std::string& RegistryPath) {
    const std::string key = LayoutRegistryKey(RegistryPath);
    if (Manager == nullptr || key.empty()) return;
    RegistryJob job{Manager, {}, {}};
    TRegistry& reg = job.registry;
    // The layout reaches the file in one write, so that a program ended half way through leaves the
    // layout before the save, never a part of the new one.
    reg.StartTransaction();
    if (!reg.OpenKey(key, true)) return;
    // Bars and sub-items that no longer exist leave no key behind.
    for (const std::string& name : reg.KeyNames())
        reg.DeleteKey(name);
    if (StoresMenuOptions(Manager)) {
        reg.WriteBool("MenusShowRecentItemsFirst", Manager->MenusShowRecentItemsFirst());
        reg.WriteBool("ShowFullMenusAfterDelay", Manager->ShowFullMenusAfterDelay());
    }
    reg.WriteBool("LargeIcons", Manager->LargeIcons());
    reg.WriteInteger("MenuAnimations", Manager->MenuAnimations());
    reg.WriteBool("ShowHint", Manager->ShowHint());
    reg.WriteBool("ShowShortCutInHint", Manager->ShowShortCutInHint());
    TdxBars* bars = Manager->Bars();
    reg.WriteInteger("BarCount", bars->Count());
    reg.CloseKey();
    for (int i = 0; i < bars->Count(); ++i) {
        const std::string barKey = key + "\\Bar" + std::to_string(i);
        if (!reg.OpenKey(barKey, true)) continue;
        TdxBar* bar = bars->Items(i);
        reg.WriteString("Caption", bar->Caption());
        if (bar->DockedDockControl() != nullptr)
            reg.WriteString("DockedDockControl", DockControlPath(bar->DockedDockControl()));
        reg.WriteInteger("DockedDockingStyle", bar->DockedDockingStyle());
        reg.WriteInteger("DockedLeft", bar->DockedLeft());
        reg.WriteInteger("DockedTop", bar->DockedTop());
        reg.WriteBool("OneOnRow", bar->OneOnRow());
        reg.WriteInteger("Row", bar->Row());
        reg.WriteInteger("FloatLeft", bar->FloatLeft());
        reg.WriteInteger("FloatTop", bar->FloatTop());
        reg.WriteInteger("FloatClientWidth", bar->FloatClientWidth());
        reg.WriteInteger("FloatClientHeight", bar->FloatClientHeight());
        if (bar->DockControl() != nullptr)
            reg.WriteString("DockControl", DockControlPath(bar->DockControl()));
        reg.WriteInteger("DockingStyle", bar->DockingStyle());
        reg.WriteBool("Visible", bar->Visible());
        SaveItemLinksToRegistry(job, barKey, bar->ItemLinks());
    }
    for (TCustomdxBarSubItem* subItem : StoredSubItems(Manager)) {
        const std::string subKey = key + "\\SubItem_" + subItem->Name();
        if (reg.OpenKey(subKey, true)) SaveItemLinksToRegistry(job, subKey, subItem->ItemLinks());
    }
    reg.CloseKey();
    reg.CommitTransaction();
}

void LoadLayoutFromRegistry(TdxBarManager* Manager, const std::string& RegistryPath) {
    const std::string key = LayoutRegistryKey(RegistryPath);
    if (Manager == nullptr || key.empty()) return;
    RegistryJob job{Manager, {}, {}};
    TRegistry& reg = job.registry;
    if (!reg.OpenKey(key, false)) return;
    LockUpdateScope lock(Manager);
    auto readBool = [&reg](const char* name, void (TdxBarManager::*set)(bool), TdxBarManager* m) {
        if (reg.ValueExists(name)) (m->*set)(reg.ReadBool(name));
    };
    try {
        if (StoresMenuOptions(Manager)) {
            readBool("MenusShowRecentItemsFirst", &TdxBarManager::SetMenusShowRecentItemsFirst, Manager);
            readBool("ShowFullMenusAfterDelay", &TdxBarManager::SetShowFullMenusAfterDelay, Manager);
        }
        readBool("LargeIcons", &TdxBarManager::SetLargeIcons, Manager);
        if (reg.ValueExists("MenuAnimations"))
            Manager->SetMenuAnimations(
                StoredOrdinal(reg.ReadInteger("MenuAnimations"), kMenuAnimations, Manager->MenuAnimations()));
        readBool("ShowHint", &TdxBarManager::SetShowHint, Manager);
        readBool("ShowShortCutInHint", &TdxBarManager::SetShowShortCutInHint, Manager);
    } catch (const Exception&) {
        // A mistyped option keeps its value; the bars are read all the same.
    }
    TdxBars* bars = Manager->Bars();
    int barCount = -1;
    try {
        if (reg.ValueExists("BarCount")) barCount = reg.ReadInteger("BarCount");
    } catch (const Exception&) {
        barCount = -1;
    }
    const int existingBars = NumberedNames(reg.KeyNames()).Count("Bar", barCount);
    reg.CloseKey();
    if (barCount >= 0) {
        for (int i = 0; i < bars->Count(); ++i)
            bars->Items(i)->SetVisible(false);
        for (int i = 0; i < existingBars; ++i) {
            const std::string barKey = key + "\\Bar" + std::to_string(i);
            if (!reg.OpenKey(barKey, false)) continue;
            // A gap in the stored numbering would ask for a bar more than one past the end: only the
            // next bar can be added, and the stored bar goes there.
            if (i >= bars->Count()) bars->Add();
            TdxBar* bar = bars->Items(std::min(i, bars->Count() - 1));
            const bool locked = bar->RebuildLocked();
            bar->SetRebuildLocked(true);
            LoadItemLinksFromRegistry(job, barKey, bar->ItemLinks());
            reg.OpenKey(barKey, false);
            try {
                LoadBarValuesFromRegistry(job, bar);
            } catch (const Exception&) {
                bar->SetVisible(true);
            }
            reg.CloseKey();
            bar->SetRebuildLocked(locked);
        }
    }
    for (TCustomdxBarSubItem* subItem : StoredSubItems(Manager)) {
        const std::string subKey = key + "\\SubItem_" + subItem->Name();
        if (reg.OpenKey(subKey, false)) LoadItemLinksFromRegistry(job, subKey, subItem->ItemLinks());
    }
}

} // namespace bars
