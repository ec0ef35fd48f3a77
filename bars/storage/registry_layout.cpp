// The layout under a registry key: options in the key itself, one subkey per bar and per named sub-item,
// one subkey below those per link.
#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/storage/kept_layout.h"
#include "bars/storage/layout_common.h"
#include "bars/storage/layout_storing.h"
#include "platform/graphics/bitmap.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/stream.h"

namespace bars {
namespace {

void SaveItemLinksToRegistry(TRegistry& Reg, TMemoryStream& Stream, TdxBarManager* Manager,
                             const std::string& Key, TdxBarItemLinks* Links) {
    Reg.WriteInteger("ItemLinkCount", Links->Count());
    Reg.CloseKey();
    const bool toolbar = IsToolbarLinks(Links), usage = StoresUsage(Manager, Links);
    for (int j = 0; j < Links->Count(); ++j) {
        TdxBarItemLink* link = Links->Items(j);
        // A link whose item has no name cannot be found again: its number stays unused.
        if (link->Item() == nullptr || link->Item()->Name().empty()) continue;
        if (!Reg.OpenKey(Key + "\\ItemLink" + std::to_string(j), true)) continue;
        Reg.WriteString("ItemName", link->Item()->Name());
        Reg.WriteBool("BeginGroup", link->StoredBeginGroup());
        const TdxBarUserDefines defines = link->UserDefine();
        const auto bits = static_cast<uint8_t>(defines.Bits());
        Reg.WriteBinaryData("UserDefine", &bits, 1);
        if (defines.Contains(udCaption)) Reg.WriteString("UserCaption", link->UserCaption());
        if (defines.Contains(udGlyph)) {
            link->UserGlyph()->SaveToStream(Stream);
            Reg.WriteBinaryData("UserGlyph", Stream.Memory(), static_cast<int>(Stream.Size()));
            Stream.Clear();
        }
        if (defines.Contains(udPaintStyle)) Reg.WriteInteger("UserPaintStyle", link->UserPaintStyle());
        if (defines.Contains(udWidth)) Reg.WriteInteger("UserWidth", link->UserWidth());
        if (toolbar) Reg.WriteBool("Visible", link->Visible());
        if (usage) {
            Reg.WriteInteger("UseCount", link->UseCount());
            Reg.WriteInteger("RecentIndex", link->RecentIndex());
        }
        Reg.CloseKey();
    }
}

// Writes the layout under Key, which is open.
void SaveLayout(TRegistry& Reg, TdxBarManager* Manager, const std::string& Key) {
    TMemoryStream stream;
    // Bars and sub-items that no longer exist leave no key behind.
    for (const std::string& name : Reg.KeyNames())
        Reg.DeleteKey(name);
    if (StoresMenuOptions(Manager)) {
        Reg.WriteBool("MenusShowRecentItemsFirst", Manager->MenusShowRecentItemsFirst());
        Reg.WriteBool("ShowFullMenusAfterDelay", Manager->ShowFullMenusAfterDelay());
    }
    Reg.WriteBool("LargeIcons", Manager->LargeIcons());
    Reg.WriteInteger("MenuAnimations", Manager->MenuAnimations());
    Reg.WriteBool("ShowHint", Manager->ShowHint());
    Reg.WriteBool("ShowShortCutInHint", Manager->ShowShortCutInHint());
    TdxBars* bars = Manager->Bars();
    Reg.WriteInteger("BarCount", bars->Count());
    Reg.CloseKey();
    for (int i = 0; i < bars->Count(); ++i) {
        const std::string barKey = Key + "\\Bar" + std::to_string(i);
        if (!Reg.OpenKey(barKey, true)) continue;
        TdxBar* bar = bars->Items(i);
        Reg.WriteString("Caption", bar->Caption());
        if (bar->DockedDockControl() != nullptr)
            Reg.WriteString("DockedDockControl", DockControlPath(bar->DockedDockControl()));
        Reg.WriteInteger("DockedDockingStyle", bar->DockedDockingStyle());
        Reg.WriteInteger("DockedLeft", bar->DockedLeft());
        Reg.WriteInteger("DockedTop", bar->DockedTop());
        Reg.WriteBool("OneOnRow", bar->OneOnRow());
        Reg.WriteInteger("Row", bar->Row());
        Reg.WriteInteger("FloatLeft", bar->FloatLeft());
        Reg.WriteInteger("FloatTop", bar->FloatTop());
        Reg.WriteInteger("FloatClientWidth", bar->FloatClientWidth());
        Reg.WriteInteger("FloatClientHeight", bar->FloatClientHeight());
        if (bar->DockControl() != nullptr)
            Reg.WriteString("DockControl", DockControlPath(bar->DockControl()));
        Reg.WriteInteger("DockingStyle", bar->DockingStyle());
        Reg.WriteBool("Visible", bar->Visible());
        SaveItemLinksToRegistry(Reg, stream, Manager, barKey, bar->ItemLinks());
    }
    for (TCustomdxBarSubItem* subItem : StoredSubItems(Manager)) {
        const std::string subKey = Key + "\\SubItem_" + subItem->Name();
        if (Reg.OpenKey(subKey, true))
            SaveItemLinksToRegistry(Reg, stream, Manager, subKey, subItem->ItemLinks());
    }
    Reg.CloseKey();
}

// Values stored as another type than the one the layout writes (by hand, by another program) read as
// the INI layout reads a key that is not there: the default given, and reading goes on. A value that
// is missing still fails where it must be there.
int IntegerOr(TRegistry& Reg, const std::string& Name, int Default) {
    const TRegDataType type = Reg.GetDataType(Name);
    return type == rdInteger || type == rdUnknown ? Reg.ReadInteger(Name) : Default;
}

bool BoolOr(TRegistry& Reg, const std::string& Name, bool Default) {
    return IntegerOr(Reg, Name, Default ? 1 : 0) != 0;
}

std::string StringOr(TRegistry& Reg, const std::string& Name, const std::string& Default) {
    const TRegDataType type = Reg.GetDataType(Name);
    return type == rdString || type == rdExpandString || type == rdUnknown ? Reg.ReadString(Name) : Default;
}

// A value read only when it is there, and then only as the number it should be.
std::optional<int> StoredInteger(TRegistry& Reg, const std::string& Name) {
    if (Reg.GetDataType(Name) != rdInteger) return std::nullopt;
    return Reg.ReadInteger(Name);
}

// A count stored as another type stands for every entry the store holds, as a count too large does:
// the bars and links stay rather than go for a count that cannot be read.
int StoredRegistryCount(TRegistry& Reg, const std::string& Name, int Missing) {
    if (!Reg.ValueExists(Name)) return Missing;
    return StoredInteger(Reg, Name).value_or(INT_MAX);
}

// The user's changes to a link: one byte; anything else stands for none.
uint8_t StoredUserDefine(TRegistry& Reg) {
    uint8_t bits = 0;
    if (Reg.GetDataType("UserDefine") == rdBinary && Reg.GetDataSize("UserDefine") == 1)
        Reg.ReadBinaryData("UserDefine", &bits, 1);
    return bits;
}

// The link's own picture; data that is no picture leaves the link without one.
void LoadUserGlyph(TRegistry& Reg, TMemoryStream& Stream, TdxBarItemLink* Link) {
    const int size = Reg.GetDataType("UserGlyph") == rdBinary ? Reg.GetDataSize("UserGlyph") : 0;
    if (size <= 0) return;
    Stream.SetSize(size);
    Reg.ReadBinaryData("UserGlyph", Stream.Memory(), size);
    Stream.SetPosition(0);
    auto glyph = std::make_unique<TBitmap>();
    try {
        glyph->LoadFromStream(Stream);
        Link->SetUserGlyph(glyph.get());
    } catch (const Exception&) {
    }
    Stream.Clear();
}

// The layout's key is not there: it may have been lost with the end of a file cut short, when the
// nearest key above it that is there was cut short.
bool LostInCut(TRegistry& Reg, std::string Key) {
    while (!Key.empty()) {
        Key.resize(Key.rfind('\\'));
        if (!Reg.OpenKey(Key.empty() ? "\\" : Key, false)) continue;
        const bool cut = Reg.CutShort();
        Reg.CloseKey();
        return cut;
    }
    return false;
}

struct RegistryJob {
    TdxBarManager* manager;
    TRegistry registry;
    TMemoryStream stream;
};

void LoadItemLinksFromRegistry(RegistryJob& Job, const std::string& Key, TdxBarItemLinks* Links) {
    TRegistry& reg = Job.registry;
    const TdxBarItemLinks::Restoring restoring(Links);
    Links->Clear();
    const int count = StoredRegistryCount(reg, "ItemLinkCount", 0);
    const int existing = NumberedNames(reg.KeyNames()).Count("ItemLink", count);
    reg.CloseKey();
    const bool toolbar = IsToolbarLinks(Links), usage = StoresUsage(Job.manager, Links);
    for (int j = 0; j < existing; ++j) {
        if (!reg.OpenKey(Key + "\\ItemLink" + std::to_string(j), false)) continue;
        try {
            TdxBarItem* item = Job.manager->ItemByName(StringOr(reg, "ItemName", ""));
            if (item != nullptr) {
                TdxBarItemLink* link = Links->Add();
                link->SetItem(item);
                link->SetBeginGroup(BoolOr(reg, "BeginGroup", false));
                const auto defines = TdxBarUserDefines::FromBits(StoredUserDefineBits(StoredUserDefine(reg)));
                link->SetUserDefine(defines);
                if (defines.Contains(udCaption)) link->SetUserCaption(StringOr(reg, "UserCaption", ""));
                if (defines.Contains(udGlyph)) LoadUserGlyph(reg, Job.stream, link);
                if (defines.Contains(udPaintStyle))
                    link->SetUserPaintStyle(StoredOrdinal(IntegerOr(reg, "UserPaintStyle", psStandard),
                                                          kPaintStyles, link->UserPaintStyle()));
                if (defines.Contains(udWidth))
                    link->SetUserWidth(StoredCoordinate(IntegerOr(reg, "UserWidth", 100)));
                if (const auto visible = StoredInteger(reg, "Visible"); toolbar && visible)
                    link->SetLoadedVisible(*visible != 0);
                if (const auto uses = StoredInteger(reg, "UseCount"); usage && uses)
                    link->SetLoadedUseCount(*uses);
                if (const auto recent = StoredInteger(reg, "RecentIndex"); usage && recent)
                    link->SetLoadedRecentIndex(*recent);
            }
        } catch (const Exception&) {
            // A value missing: what was read of this link stays; the next one is read as usual.
        }
        reg.CloseKey();
    }
    Links->RestoreRecentState(true);
}

// The bar's stored values, in the order they were written; a missing one leaves the rest as they are.
void LoadBarValuesFromRegistry(RegistryJob& Job, TdxBar* Bar) {
    TRegistry& reg = Job.registry;
    Bar->SetCaption(StringOr(reg, "Caption", Bar->Caption()));
    Bar->SetDockedDockControl(ResolveDockControlPath(Job.manager, StringOr(reg, "DockedDockControl", "")));
    Bar->SetDockedDockingStyle(StoredOrdinal(IntegerOr(reg, "DockedDockingStyle", Bar->DockedDockingStyle()),
                                             kDockingStyles, Bar->DockedDockingStyle()));
    Bar->SetDockedLeft(StoredCoordinate(IntegerOr(reg, "DockedLeft", Bar->DockedLeft())));
    Bar->SetDockedTop(StoredCoordinate(IntegerOr(reg, "DockedTop", Bar->DockedTop())));
    Bar->SetOneOnRow(BoolOr(reg, "OneOnRow", Bar->OneOnRow()));
    Bar->SetRow(StoredCoordinate(IntegerOr(reg, "Row", Bar->Row())));
    Bar->SetFloatLeft(StoredCoordinate(IntegerOr(reg, "FloatLeft", Bar->FloatLeft())));
    Bar->SetFloatTop(StoredCoordinate(IntegerOr(reg, "FloatTop", Bar->FloatTop())));
    Bar->SetFloatClientWidth(StoredCoordinate(IntegerOr(reg, "FloatClientWidth", Bar->FloatClientWidth())));
    Bar->SetFloatClientHeight(
        StoredCoordinate(IntegerOr(reg, "FloatClientHeight", Bar->FloatClientHeight())));
    Bar->SetDockControl(ResolveDockControlPath(Job.manager, StringOr(reg, "DockControl", "")));
    Bar->SetDockingStyle(StoredOrdinal(IntegerOr(reg, "DockingStyle", Bar->DockingStyle()), kDockingStyles,
                                       Bar->DockingStyle()));
    SetStoredVisible(Job.manager, Bar, BoolOr(reg, "Visible", false));
}

} // namespace

void SaveLayoutToRegistry(TdxBarManager* Manager, const std::string& RegistryPath) {
    const std::string key = LayoutRegistryKey(RegistryPath);
    if (Manager == nullptr || key.empty()) return;
    // A layout that could not be read stays until the user has changed the bars.
    if (StoredLayoutKept(Manager, key)) return;
    TRegistry reg;
    // The layout reaches the file in one write, so that a program ended half way through leaves the
    // layout before the save, never a part of the new one.
    reg.StartTransaction();
    if (!reg.OpenKey(key, true)) return;
    // What is left of a layout cut short goes whole, its own values too.
    if (reg.CutShort()) {
        reg.CloseKey();
        reg.DeleteKey(key);
        if (!reg.OpenKey(key, true)) return;
    }
    SaveLayout(reg, Manager, key);
    reg.CommitTransaction();
}

void LoadLayoutFromRegistry(TdxBarManager* Manager, const std::string& RegistryPath) {
    const std::string key = LayoutRegistryKey(RegistryPath);
    if (Manager == nullptr || key.empty()) return;
    ForgetKeptLayout(Manager);
    const LayoutReadScope reading(Manager);
    RegistryJob job{Manager, {}, {}};
    TRegistry& reg = job.registry;
    // Only a layout read whole is applied: a part would lose the bars and links after the cut, and the
    // part would be saved back over the rest.
    if (!reg.OpenKey(key, false)) {
        if (LostInCut(reg, key)) KeepStoredLayout(Manager, key);
        return;
    }
    if (reg.CutShort()) {
        KeepStoredLayout(Manager, key);
        return;
    }
    LockUpdateScope lock(Manager);
    auto readBool = [&reg](const char* name, void (TdxBarManager::*set)(bool), TdxBarManager* m) {
        if (const auto value = StoredInteger(reg, name)) (m->*set)(*value != 0);
    };
    if (StoresMenuOptions(Manager)) {
        readBool("MenusShowRecentItemsFirst", &TdxBarManager::SetMenusShowRecentItemsFirst, Manager);
        readBool("ShowFullMenusAfterDelay", &TdxBarManager::SetShowFullMenusAfterDelay, Manager);
    }
    readBool("LargeIcons", &TdxBarManager::SetLargeIcons, Manager);
    if (const auto animations = StoredInteger(reg, "MenuAnimations"))
        Manager->SetMenuAnimations(StoredOrdinal(*animations, kMenuAnimations, Manager->MenuAnimations()));
    readBool("ShowHint", &TdxBarManager::SetShowHint, Manager);
    readBool("ShowShortCutInHint", &TdxBarManager::SetShowShortCutInHint, Manager);
    TdxBars* bars = Manager->Bars();
    const int barCount = StoredRegistryCount(reg, "BarCount", -1);
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
            // Clearing it rebuilds the bar's window, also after a failure.
            const ThrowingScopeGuard unlock([bar, locked] { bar->SetRebuildLocked(locked); });
            LoadItemLinksFromRegistry(job, barKey, bar->ItemLinks());
            reg.OpenKey(barKey, false);
            try {
                LoadBarValuesFromRegistry(job, bar);
            } catch (const Exception&) {
                bar->SetVisible(true);
            }
            reg.CloseKey();
        }
    }
    for (TCustomdxBarSubItem* subItem : StoredSubItems(Manager)) {
        const std::string subKey = key + "\\SubItem_" + subItem->Name();
        if (reg.OpenKey(subKey, false)) LoadItemLinksFromRegistry(job, subKey, subItem->ItemLinks());
    }
}

} // namespace bars
