// The layout in an INI file: sections named after the manager's form and name, one for the options,
// one per bar, per named sub-item and per link. No glyphs are kept there.
#include <algorithm>
#include <climits>
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
#include "platform/rtl/ini_file.h"
#include "platform/rtl/scope_guard.h"
#include "platform/vcl/form.h"

namespace bars {
namespace {

inline constexpr int kNoRow = -1000;

std::string SectionBase(TdxBarManager* Manager) {
    return Manager->ParentForm()->Name() + "." + Manager->Name() + ".";
}

// A count that is there but no number stands for every entry the file holds, as a count too large
// does: the bars and links stay rather than go for a count that cannot be read.
int StoredCount(TCustomIniFile& Ini, const std::string& Section, const std::string& Key, int Missing) {
    return Ini.ValueExists(Section, Key) ? Ini.ReadInteger(Section, Key, INT_MAX) : Missing;
}

void SaveItemLinks(TCustomIniFile& Ini, TdxBarManager* Manager, const std::string& Section,
                   TdxBarItemLinks* Links) {
    Ini.WriteInteger(Section, "ItemLinkCount", Links->Count());
    const bool toolbar = IsToolbarLinks(Links), usage = StoresUsage(Manager, Links);
    for (int j = 0; j < Links->Count(); ++j) {
        TdxBarItemLink* link = Links->Items(j);
        if (link->Item() == nullptr || link->Item()->Name().empty()) continue;
        const std::string s = Section + ".ItemLink" + std::to_string(j);
        Ini.WriteString(s, "ItemName", link->Item()->Name());
        Ini.WriteBool(s, "BeginGroup", link->StoredBeginGroup());
        // The glyph flag is kept, the glyph is not: the file holds no pictures.
        const TdxBarUserDefines defines = link->UserDefine();
        Ini.WriteInteger(s, "UserDefine", static_cast<int>(defines.Bits() & 0xFF));
        if (defines.Contains(udCaption)) Ini.WriteString(s, "UserCaption", link->UserCaption());
        if (defines.Contains(udPaintStyle)) Ini.WriteInteger(s, "UserPaintStyle", link->UserPaintStyle());
        if (defines.Contains(udWidth)) Ini.WriteInteger(s, "UserWidth", link->UserWidth());
        if (toolbar) Ini.WriteBool(s, "Visible", link->Visible());
        if (usage) {
            Ini.WriteInteger(s, "UseCount", link->UseCount());
            Ini.WriteInteger(s, "RecentIndex", link->RecentIndex());
        }
    }
}

void LoadItemLinks(TCustomIniFile& Ini, const NumberedNames& Sections, TdxBarManager* Manager,
                   const std::string& Section, TdxBarItemLinks* Links) {
    const TdxBarItemLinks::Restoring restoring(Links);
    Links->Clear();
    const int count = Sections.Count(Section + ".ItemLink", StoredCount(Ini, Section, "ItemLinkCount", 0));
    const bool toolbar = IsToolbarLinks(Links), usage = StoresUsage(Manager, Links);
    for (int j = 0; j < count; ++j) {
        const std::string s = Section + ".ItemLink" + std::to_string(j);
        const std::string name = Ini.ReadString(s, "ItemName", "");
        if (name.empty()) continue;
        try {
            TdxBarItem* item = Manager->ItemByName(name);
            if (item == nullptr) continue;
            TdxBarItemLink* link = Links->Add();
            link->SetItem(item);
            link->SetBeginGroup(Ini.ReadBool(s, "BeginGroup", false));
            const auto defines =
                TdxBarUserDefines::FromBits(StoredUserDefineBits(Ini.ReadInteger(s, "UserDefine", 0)));
            link->SetUserDefine(defines);
            if (defines.Contains(udCaption)) link->SetUserCaption(Ini.ReadString(s, "UserCaption", ""));
            if (defines.Contains(udPaintStyle))
                link->SetUserPaintStyle(
                    StoredOrdinal(Ini.ReadInteger(s, "UserPaintStyle", 0), kPaintStyles, psStandard));
            if (defines.Contains(udWidth))
                link->SetUserWidth(StoredCoordinate(Ini.ReadInteger(s, "UserWidth", 100)));
            if (toolbar) link->SetLoadedVisible(Ini.ReadBool(s, "Visible", true));
            if (usage) {
                link->SetLoadedUseCount(Ini.ReadInteger(s, "UseCount", 0));
                link->SetLoadedRecentIndex(Ini.ReadInteger(s, "RecentIndex", -1));
            }
        } catch (const Exception&) {
            // What was read of this link stays.
        }
    }
    Links->RestoreRecentState(true);
}

void SaveSections(TCustomIniFile& Ini, TdxBarManager* Manager, const std::string& Base) {
    const std::string main = Base + "Main";
    if (StoresMenuOptions(Manager)) {
        Ini.WriteBool(main, "MenusShowRecentItemsFirst", Manager->MenusShowRecentItemsFirst());
        Ini.WriteBool(main, "ShowFullMenusAfterDelay", Manager->ShowFullMenusAfterDelay());
    }
    Ini.WriteBool(main, "LargeIcons", Manager->LargeIcons());
    Ini.WriteInteger(main, "MenuAnimations", Manager->MenuAnimations());
    Ini.WriteBool(main, "ShowHint", Manager->ShowHint());
    Ini.WriteBool(main, "ShowShortCutInHint", Manager->ShowShortCutInHint());
    TdxBars* bars = Manager->Bars();
    Ini.WriteInteger(main, "BarCount", bars->Count());
    for (int i = 0; i < bars->Count(); ++i) {
        TdxBar* bar = bars->Items(i);
        const std::string s = Base + "Bar" + std::to_string(i);
        Ini.WriteString(s, "Caption", bar->Caption());
        if (bar->DockedDockControl() != nullptr)
            Ini.WriteString(s, "DockedDockControl", DockControlPath(bar->DockedDockControl()));
        Ini.WriteInteger(s, "DockedDockingStyle", bar->DockedDockingStyle());
        Ini.WriteInteger(s, "DockedLeft", bar->DockedLeft());
        Ini.WriteInteger(s, "DockedTop", bar->DockedTop());
        Ini.WriteBool(s, "OneOnRow", bar->OneOnRow());
        Ini.WriteInteger(s, "Row", bar->Row());
        Ini.WriteInteger(s, "FloatLeft", bar->FloatLeft());
        Ini.WriteInteger(s, "FloatTop", bar->FloatTop());
        Ini.WriteInteger(s, "FloatClientWidth", bar->FloatClientWidth());
        Ini.WriteInteger(s, "FloatClientHeight", bar->FloatClientHeight());
        if (bar->DockControl() != nullptr)
            Ini.WriteString(s, "DockControl", DockControlPath(bar->DockControl()));
        Ini.WriteInteger(s, "DockingStyle", bar->DockingStyle());
        Ini.WriteBool(s, "Visible", bar->Visible());
        SaveItemLinks(Ini, Manager, s, bar->ItemLinks());
    }
    for (TCustomdxBarSubItem* subItem : StoredSubItems(Manager))
        SaveItemLinks(Ini, Manager, Base + "SubItem_" + subItem->Name(), subItem->ItemLinks());
}

void LoadBarValues(TCustomIniFile& Ini, TdxBarManager* Manager, const std::string& S, TdxBar* Bar) {
    Bar->SetCaption(Ini.ReadString(S, "Caption", Bar->Caption()));
    Bar->SetDockedDockControl(ResolveDockControlPath(Manager, Ini.ReadString(S, "DockedDockControl", "")));
    Bar->SetDockedDockingStyle(
        StoredOrdinal(Ini.ReadInteger(S, "DockedDockingStyle", Bar->DockedDockingStyle()), kDockingStyles,
                      Bar->DockedDockingStyle()));
    Bar->SetDockedLeft(StoredCoordinate(Ini.ReadInteger(S, "DockedLeft", Bar->DockedLeft())));
    Bar->SetDockedTop(StoredCoordinate(Ini.ReadInteger(S, "DockedTop", Bar->DockedTop())));
    Bar->SetOneOnRow(Ini.ReadBool(S, "OneOnRow", Bar->OneOnRow()));
    Bar->SetRow(StoredCoordinate(Ini.ReadInteger(S, "Row", Bar->Row())));
    Bar->SetFloatLeft(StoredCoordinate(Ini.ReadInteger(S, "FloatLeft", Bar->FloatLeft())));
    Bar->SetFloatTop(StoredCoordinate(Ini.ReadInteger(S, "FloatTop", Bar->FloatTop())));
    Bar->SetFloatClientWidth(
        StoredCoordinate(Ini.ReadInteger(S, "FloatClientWidth", Bar->FloatClientWidth())));
    Bar->SetFloatClientHeight(
        StoredCoordinate(Ini.ReadInteger(S, "FloatClientHeight", Bar->FloatClientHeight())));
    Bar->SetDockControl(ResolveDockControlPath(Manager, Ini.ReadString(S, "DockControl", "")));
    Bar->SetDockingStyle(StoredOrdinal(Ini.ReadInteger(S, "DockingStyle", Bar->DockingStyle()),
                                       kDockingStyles, Bar->DockingStyle()));
    SetStoredVisible(Manager, Bar, Ini.ReadBool(S, "Visible", false));
}

} // namespace

void SaveLayoutToIni(TdxBarManager* Manager, const std::string& FileName) {
    if (Manager == nullptr || FileName.empty() || Manager->ParentForm() == nullptr) return;
    const std::string base = SectionBase(Manager);
    TMemIniFile ini(FileName);
    // What was saved before a failure is written too.
    const ThrowingScopeGuard write([&] { ini.UpdateFile(); });
    // Another manager's sections (another form or name) stay as they are.
    for (const std::string& section : ini.SectionNames())
        if (section.compare(0, base.size(), base) == 0) ini.EraseSection(section);
    SaveSections(ini, Manager, base);
}

void LoadLayoutFromIni(TdxBarManager* Manager, const std::string& FileName) {
    if (Manager == nullptr || FileName.empty() || Manager->ParentForm() == nullptr) return;
    const std::string base = SectionBase(Manager), main = base + "Main";
    std::unique_ptr<TMemIniFile> file;
    try {
        file = std::make_unique<TMemIniFile>(FileName);
    } catch (const Exception&) {
        return; // a file that cannot be read (a folder, no permission) holds no layout to read
    }
    TMemIniFile& ini = *file;
    const NumberedNames sections(ini.SectionNames());
    const LayoutReadScope reading(Manager);
    LockUpdateScope lock(Manager);
    if (StoresMenuOptions(Manager)) {
        Manager->SetMenusShowRecentItemsFirst(
            ini.ReadBool(main, "MenusShowRecentItemsFirst", Manager->MenusShowRecentItemsFirst()));
        Manager->SetShowFullMenusAfterDelay(
            ini.ReadBool(main, "ShowFullMenusAfterDelay", Manager->ShowFullMenusAfterDelay()));
    }
    Manager->SetLargeIcons(ini.ReadBool(main, "LargeIcons", Manager->LargeIcons()));
    Manager->SetMenuAnimations(
        StoredOrdinal(ini.ReadInteger(main, "MenuAnimations", Manager->MenuAnimations()), kMenuAnimations,
                      Manager->MenuAnimations()));
    Manager->SetShowHint(ini.ReadBool(main, "ShowHint", Manager->ShowHint()));
    Manager->SetShowShortCutInHint(ini.ReadBool(main, "ShowShortCutInHint", Manager->ShowShortCutInHint()));
    TdxBars* bars = Manager->Bars();
    if (const int stored = StoredCount(ini, main, "BarCount", -1); stored >= 0) {
        for (int i = 0; i < bars->Count(); ++i)
            bars->Items(i)->SetVisible(false);
        const int barCount = sections.Count(base + "Bar", stored);
        for (int i = 0; i < barCount; ++i) {
            const std::string s = base + "Bar" + std::to_string(i);
            if (ini.ReadInteger(s, "Row", kNoRow) <= kNoRow) continue;
            if (i >= bars->Count()) bars->Add();
            TdxBar* bar = bars->Items(std::min(i, bars->Count() - 1));
            const bool locked = bar->RebuildLocked();
            bar->SetRebuildLocked(true);
            // Clearing it rebuilds the bar's window, also after a failure.
            const ThrowingScopeGuard unlock([bar, locked] { bar->SetRebuildLocked(locked); });
            LoadItemLinks(ini, sections, Manager, s, bar->ItemLinks());
            try {
                LoadBarValues(ini, Manager, s, bar);
            } catch (const Exception&) {
                bar->SetVisible(true);
            }
        }
    }
    for (TCustomdxBarSubItem* subItem : StoredSubItems(Manager)) {
        const std::string s = base + "SubItem_" + subItem->Name();
        if (StoredCount(ini, s, "ItemLinkCount", -1) >= 0)
            LoadItemLinks(ini, sections, Manager, s, subItem->ItemLinks());
    }
}

} // namespace bars
