#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "bar_windows_fixture.h"
#include "bars/core/sub_item.h"
#include "bars/storage/layout_common.h"
#include "bars/storage/layout_storing.h"
#include "lookandfeel/monitor.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/window.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/registry.h"

using namespace bars_windows_test;

namespace {

// A registry store and a folder of this test's own, dropped when it ends.
class LayoutStoringTest : public BarWindowsTest {
protected:
    LayoutStoringTest() {
        char pattern[] = "/tmp/pw-layout-XXXXXX";
        dir = mkdtemp(pattern);
        SetRegistryStoreFile(dir + "/registry.dat");
        form.SetName("MainForm");
        manager->SetName("BarManager1");
    }
    ~LayoutStoringTest() override {
        SetRegistryStoreFile("");
        std::filesystem::remove_all(dir);
    }

    TdxBarButton* Named(const std::string& name) {
        TdxBarButton* button = Button(name);
        button->SetName(name);
        return button;
    }

    // Two toolbars and a named sub-item, with the user's changes on some links.
    void BuildLayout() {
        open = Named("Open");
        save = Named("Save");
        print = Named("Print");
        main = Toolbar("Main", {open, save, print});
        main->SetName("MainBar");
        tools = Toolbar("Tools", {print, open}, dsTop, 1);
        file = new TdxBarSubItem(&form);
        file->SetName("FileMenu");
        file->SetCaption("&File");
        file->ItemLinks()->Add()->SetItem(open);
        file->ItemLinks()->Add()->SetItem(save);
        TdxBarItemLink* saveLink = main->ItemLinks()->Items(1);
        saveLink->SetUserCaption("Keep");
        saveLink->SetBeginGroup(true);
        main->ItemLinks()->Items(2)->SetVisible(false);
        tools->ItemLinks()->Items(1)->SetUserWidth(80);
        manager->SetLargeIcons(true);
        manager->SetShowHint(false);
        manager->SetMenuAnimations(maSlide);
        Pump();
    }

    // The user undoes all of it.
    void Scramble() {
        manager->SetLargeIcons(false);
        manager->SetShowHint(true);
        manager->SetMenuAnimations(maNone);
        main->ItemLinks()->Clear();
        tools->SetVisible(false);
        file->ItemLinks()->Clear();
        Pump();
    }

    void ExpectBuiltLayout() {
        EXPECT_TRUE(manager->LargeIcons());
        EXPECT_FALSE(manager->ShowHint());
        EXPECT_EQ(manager->MenuAnimations(), maSlide);
        ASSERT_EQ(main->ItemLinks()->Count(), 3);
        EXPECT_EQ(main->ItemLinks()->Items(0)->Item(), open);
        TdxBarItemLink* saveLink = main->ItemLinks()->Items(1);
        EXPECT_EQ(saveLink->Item(), save);
        EXPECT_EQ(saveLink->Caption(), "Keep");
        EXPECT_TRUE(saveLink->UserDefine().Contains(udCaption));
        EXPECT_TRUE(saveLink->StoredBeginGroup());
        EXPECT_FALSE(main->ItemLinks()->Items(2)->Visible());
        EXPECT_TRUE(main->ItemLinks()->Items(0)->Visible());
        EXPECT_TRUE(tools->Visible());
        EXPECT_EQ(tools->Row(), 1);
        ASSERT_EQ(tools->ItemLinks()->Count(), 2);
        EXPECT_EQ(tools->ItemLinks()->Items(1)->UserWidth(), 80);
        ASSERT_EQ(file->ItemLinks()->Count(), 2);
        EXPECT_EQ(file->ItemLinks()->Items(1)->Item(), save);
        EXPECT_NE(Window(tools), nullptr);
    }

    // The layout of the INI file at path or of the test's registry key.
    void LoadFrom(bool fromIni, const std::string& path) {
        if (fromIni)
            bars::LoadLayoutFromIni(manager, path);
        else
            bars::LoadLayoutFromRegistry(manager, "Software\\Pathweaver\\Layout");
    }

    std::string IniText(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir;
    TdxBarButton *open = nullptr, *save = nullptr, *print = nullptr;
    TdxBar *main = nullptr, *tools = nullptr;
    TdxBarSubItem* file = nullptr;
};

} // namespace

// A layout written to the registry reads back whole: options, bars, their links with the user's
// changes, sub-item links; the key's spelling with or without the slashes is one key.
TEST_F(LayoutStoringTest, RegistryRoundTrip) {
    BuildLayout();
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout\\");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout"));
    EXPECT_EQ(reg.ReadInteger("BarCount"), 2);
    EXPECT_TRUE(reg.ValueExists("MenusShowRecentItemsFirst")); // the flat style keeps the menu options
    EXPECT_EQ(reg.ReadInteger("MenuAnimations"), static_cast<int>(maSlide));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout\\Bar0\\ItemLink1"));
    EXPECT_EQ(reg.ReadString("ItemName"), "Save");
    EXPECT_EQ(reg.GetDataType("UserDefine"), rdBinary);
    EXPECT_EQ(reg.GetDataSize("UserDefine"), 1);
    EXPECT_EQ(reg.ReadString("UserCaption"), "Keep");
    EXPECT_FALSE(reg.ValueExists("UserWidth"));
    EXPECT_TRUE(reg.ValueExists("Visible"));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout\\SubItem_FileMenu\\ItemLink0"));
    EXPECT_FALSE(reg.ValueExists("Visible")); // a menu's links keep no shown state
    reg.CloseKey();

    Scramble();
    bars::LoadLayoutFromRegistry(manager, "\\Software\\Pathweaver\\Layout");
    Pump();
    ExpectBuiltLayout();
}

// Reading a layout, from either store, gives a menu bar back its recent-use order as stored: the
// sub-menus, read after the bars, are no use of the bar they hang from.
TEST_F(LayoutStoringTest, AMenuBarKeepsItsStoredRecentOrder) {
    BuildLayout();
    auto* edit = new TdxBarSubItem(&form);
    edit->SetName("EditMenu");
    edit->SetCaption("&Edit");
    edit->ItemLinks()->Add()->SetItem(print);
    TdxBar* menu = Toolbar("Menu", {file, edit}, dsTop, 2);
    TdxBarItemLinks* links = menu->ItemLinks();
    links->Items(0)->Use(false); // File opened last
    ASSERT_EQ(links->Items(0)->RecentIndex(), 0);
    const std::string path = dir + "/bars.ini";
    for (bool fromIni : {false, true}) {
        SCOPED_TRACE(fromIni ? "INI" : "registry");
        if (fromIni)
            bars::SaveLayoutToIni(manager, path);
        else
            bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
        links->Items(1)->Use(false);
        LoadFrom(fromIni, path);
        ASSERT_EQ(links->Count(), 2);
        EXPECT_EQ(links->Items(0)->RecentIndex(), 0);
        EXPECT_EQ(links->Items(1)->RecentIndex(), 1);
    }
}

// A link whose item has no name leaves a gap in the numbering; the count still counts it. A stored bar
// count below the manager's hides the bars beyond it, and a second save drops keys of bars gone.
TEST_F(LayoutStoringTest, UnnamedItemsGapsAndBarsBeyondTheCount) {
    BuildLayout();
    auto* unnamed = Button("Unnamed");
    main->ItemLinks()->Items(2)->SetItem(unnamed);
    Toolbar("Third", {open});
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout\\Bar0"));
    EXPECT_EQ(reg.ReadInteger("ItemLinkCount"), 3);
    EXPECT_TRUE(reg.KeyExists("ItemLink1"));
    EXPECT_FALSE(reg.KeyExists("ItemLink2"));
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("\\Software\\Pathweaver\\Layout\\Bar2"));

    bars::LoadLayoutFromRegistry(manager, "Software\\Pathweaver\\Layout");
    EXPECT_EQ(main->ItemLinks()->Count(), 2);

    // Two bars stored, three present: the third is hidden first and stays so.
    delete manager->Bars()->Items(2);
    Pump();
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
    EXPECT_FALSE(reg.KeyExists("\\Software\\Pathweaver\\Layout\\Bar2"));
    TdxBar* third = Toolbar("Third", {open}, dsTop, 2);
    bars::LoadLayoutFromRegistry(manager, "Software\\Pathweaver\\Layout");
    Pump();
    EXPECT_FALSE(third->Visible());
    EXPECT_TRUE(main->Visible());
}

// A path that is empty once made absolute names the store's root: saving there would delete every key
// (the FTP server profiles among them). It stores, deletes and reads nothing; a layout beside the
// profiles leaves them as they are.
TEST_F(LayoutStoringTest, RootPathsTouchNothingAndProfilesSurvive) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quillmark Software\\Internet\\Profiles\\My Site", true));
        reg.WriteString("Host", "ftp.example.test");
        reg.WriteString("User", "webmaster");
        reg.CloseKey();
    }
    BuildLayout();
    for (const char* path : {"\\", "", "\\\\"}) {
        bars::SaveLayoutToRegistry(manager, path);
        bars::LoadLayoutFromRegistry(manager, path);
    }
    bars::SaveLayoutToRegistry(manager, "Software\\Quillmark Software\\Pathweaver Bars");
    bars::SaveLayoutToRegistry(manager, "Software\\Quillmark Software\\Pathweaver Bars");
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\") && reg.ValueExists("BarCount"));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Quillmark Software\\Internet\\Profiles\\My Site"));
    EXPECT_EQ(reg.ReadString("Host"), "ftp.example.test");
    EXPECT_EQ(reg.ReadString("User"), "webmaster");
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("\\Software\\Quillmark Software\\Pathweaver Bars\\Bar1"));
    EXPECT_EQ(bars::LayoutRegistryKey("\\"), "");
    EXPECT_EQ(bars::LayoutRegistryKey("A\\B\\"), "\\A\\B");
    EXPECT_EQ(bars::LayoutRegistryKey("\\A\\B"), "\\A\\B");
}

// A registry value of another type than the one written reads as a missing key of the INI layout does
// (its default) and reading goes on; a missing value ends that bar, which then shows, or that link.
TEST_F(LayoutStoringTest, MistypedRegistryValuesReadAsDefaultsAndMissingOnesEndABarOrALink) {
    BuildLayout();
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Pathweaver\\Layout\\Bar1", false));
        reg.WriteBool("Visible", false);
        reg.WriteString("Row", "not a number");
        reg.CloseKey();
        ASSERT_TRUE(reg.OpenKey("\\Software\\Pathweaver\\Layout\\Bar0\\ItemLink1", false));
        reg.WriteString("BeginGroup", "mistyped");
        reg.CloseKey();
    }
    tools->SetRow(0);
    bars::LoadLayoutFromRegistry(manager, "Software\\Pathweaver\\Layout");
    Pump();
    EXPECT_FALSE(tools->Visible()); // read up to its end
    EXPECT_EQ(tools->Row(), 0);
    ASSERT_EQ(main->ItemLinks()->Count(), 3);
    TdxBarItemLink* link = main->ItemLinks()->Items(1);
    EXPECT_EQ(link->Item(), save);
    EXPECT_FALSE(link->StoredBeginGroup());
    EXPECT_EQ(link->Caption(), "Keep");

    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Pathweaver\\Layout\\Bar1", false));
        reg.DeleteValue("Row");
        reg.CloseKey();
        ASSERT_TRUE(reg.OpenKey("\\Software\\Pathweaver\\Layout\\Bar0\\ItemLink1", false));
        reg.DeleteValue("BeginGroup");
        reg.CloseKey();
    }
    bars::LoadLayoutFromRegistry(manager, "Software\\Pathweaver\\Layout");
    Pump();
    EXPECT_TRUE(tools->Visible()); // stored hidden, but its values failed part-way
    EXPECT_EQ(tools->Row(), 0);
    ASSERT_EQ(main->ItemLinks()->Count(), 3);
    EXPECT_EQ(main->ItemLinks()->Items(1)->Item(), save); // the link is there, without the rest
    EXPECT_FALSE(main->ItemLinks()->Items(1)->UserDefine().Contains(udCaption));
}

// The INI layout reads back whole; only this manager's sections are replaced, another form's stay.
TEST_F(LayoutStoringTest, IniRoundTripKeepsOtherManagersSections) {
    const std::string path = dir + "/bars.ini";
    {
        std::ofstream out(path);
        out << "[OtherForm.BarManager1.Main]\nBarCount=1\n[MainForm.BarManager1.Bar7]\nRow=3\n"
               "[MainForm.BarManager10.Main]\nBarCount=0\n";
    }
    BuildLayout();
    bars::SaveLayoutToIni(manager, path);
    const std::string text = IniText(path);
    EXPECT_NE(text.find("[OtherForm.BarManager1.Main]"), std::string::npos);
    EXPECT_NE(text.find("[MainForm.BarManager10.Main]"), std::string::npos); // a longer name is another
    EXPECT_EQ(text.find("Bar7"), std::string::npos);
    const size_t mainAt = text.find("[MainForm.BarManager1.Main]"),
                 bar0 = text.find("[MainForm.BarManager1.Bar0]"),
                 link0 = text.find("[MainForm.BarManager1.Bar0.ItemLink0]"),
                 bar1 = text.find("[MainForm.BarManager1.Bar1]"),
                 sub = text.find("[MainForm.BarManager1.SubItem_FileMenu]");
    ASSERT_NE(sub, std::string::npos);
    EXPECT_LT(mainAt, bar0);
    EXPECT_LT(bar0, link0);
    EXPECT_LT(link0, bar1);
    EXPECT_LT(bar1, sub);

    Scramble();
    bars::LoadLayoutFromIni(manager, path);
    Pump();
    ExpectBuiltLayout();
}

// A user glyph is not kept in an INI file, but its flag is: read back, the link has the flag and no
// glyph. Hexadecimal numbers are read; a bar section without Row counts as missing.
TEST_F(LayoutStoringTest, IniKeepsTheGlyphFlagWithoutTheGlyphAndReadsHex) {
    const std::string path = dir + "/bars.ini";
    BuildLayout();
    TBitmap glyph;
    glyph.SetSize(16, 16);
    main->ItemLinks()->Items(0)->SetUserGlyph(&glyph);
    ASSERT_TRUE(main->ItemLinks()->Items(0)->UserDefine().Contains(udGlyph));
    bars::SaveLayoutToIni(manager, path);
    {
        TMemIniFile ini(path);
        EXPECT_EQ(ini.ReadInteger("MainForm.BarManager1.Bar0.ItemLink0", "UserDefine", -1), 2);
        EXPECT_FALSE(ini.ValueExists("MainForm.BarManager1.Bar0.ItemLink0", "UserGlyph"));
        // A file from elsewhere with the flag set.
        ini.WriteString("MainForm.BarManager1.Bar0.ItemLink1", "UserDefine", "0x3");
        ini.WriteString("MainForm.BarManager1.Bar1", "Row", "0x2");
        ini.UpdateFile();
    }
    Scramble();
    bars::LoadLayoutFromIni(manager, path);
    TdxBarItemLink* link = main->ItemLinks()->Items(1);
    EXPECT_TRUE(link->UserDefine().Contains(udCaption));
    EXPECT_TRUE(link->UserDefine().Contains(udGlyph));
    EXPECT_TRUE(link->UserGlyph()->Empty());
    EXPECT_TRUE(main->ItemLinks()->Items(0)->UserDefine().Contains(udGlyph));
    EXPECT_TRUE(main->ItemLinks()->Items(0)->UserGlyph()->Empty());
    EXPECT_EQ(tools->Row(), 2);

    {
        TMemIniFile ini(path);
        ini.DeleteKey("MainForm.BarManager1.Bar1", "Row");
        ini.WriteString("MainForm.BarManager1.Bar1", "Caption", "Renamed");
        ini.UpdateFile();
    }
    bars::LoadLayoutFromIni(manager, path);
    EXPECT_EQ(tools->Caption(), "Tools");                   // skipped
    EXPECT_FALSE(tools->Visible());                         // but hidden first, as every bar is
    bars::LoadLayoutFromIni(manager, "");                   // nothing at all
    EXPECT_NO_THROW(bars::LoadLayoutFromIni(manager, dir)); // a folder: no file to read
    EXPECT_EQ(tools->Caption(), "Tools");
}

// The standard style keeps neither the two menu options nor any usage data.
TEST_F(LayoutStoringTest, StandardStyleStoresNoUsage) {
    const std::string path = dir + "/bars.ini";
    BuildLayout();
    manager->SetStyle(bmsStandard);
    Pump();
    bars::SaveLayoutToIni(manager, path);
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
    const std::string text = IniText(path);
    EXPECT_EQ(text.find("MenusShowRecentItemsFirst"), std::string::npos);
    EXPECT_EQ(text.find("UseCount"), std::string::npos);
    EXPECT_EQ(text.find("RecentIndex"), std::string::npos);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout"));
    EXPECT_FALSE(reg.ValueExists("ShowFullMenusAfterDelay"));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout\\Bar0\\ItemLink0"));
    EXPECT_FALSE(reg.ValueExists("UseCount"));
}

// Nor does it read them from either store: the menus keep their options and the links their uses.
TEST_F(LayoutStoringTest, StandardStyleReadsNoMenuOptionsNorUsage) {
    const std::string path = dir + "/bars.ini";
    BuildLayout();
    main->ItemLinks()->Items(0)->SetUseCount(9);
    bars::SaveLayoutToIni(manager, path);
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
    manager->SetStyle(bmsStandard);
    manager->SetMenusShowRecentItemsFirst(false);
    manager->SetShowFullMenusAfterDelay(false);
    for (const bool fromIni : {false, true}) {
        SCOPED_TRACE(fromIni ? "INI" : "registry");
        LoadFrom(fromIni, path);
        EXPECT_FALSE(manager->MenusShowRecentItemsFirst());
        EXPECT_FALSE(manager->ShowFullMenusAfterDelay());
        EXPECT_NE(main->ItemLinks()->Items(0)->UseCount(), 9);
    }
}

// A dock site owned by a component of the form is written with both owners' names and read back as the
// same site; a path naming something that is no dock site ends that bar, which then shows.
TEST_F(LayoutStoringTest, DockPathsWithSeveralOwners) {
    BuildLayout();
    auto* holder = new TComponent(&form);
    holder->SetName("Holder");
    auto* site = new bars::TdxDockControl(holder, manager, dsNone);
    site->SetParent(&form);
    site->SetName("InnerDock");
    EXPECT_EQ(bars::GetComponentPath(site), "MainForm.Holder.InnerDock");
    EXPECT_EQ(bars::ResolveDockControlPath(manager, "MainForm.Holder.InnerDock"), site);
    EXPECT_EQ(bars::ResolveDockControlPath(manager, "MainForm.InnerDock"), nullptr);
    EXPECT_EQ(bars::ResolveDockControlPath(manager, ""), nullptr);
    EXPECT_THROW(bars::ResolveDockControlPath(manager, "MainForm.Holder"), bars::ELayoutValueError);

    const std::string path = dir + "/bars.ini";
    bars::SaveLayoutToIni(manager, path);
    TMemIniFile ini(path);
    ini.WriteString("MainForm.BarManager1.Bar1", "DockControl", "MainForm.Holder.InnerDock");
    ini.WriteString("MainForm.BarManager1.Bar0", "DockControl", "MainForm.Holder");
    ini.WriteString("MainForm.BarManager1.Bar0", "Visible", "0");
    ini.UpdateFile();
    bars::LoadLayoutFromIni(manager, path);
    Pump();
    EXPECT_TRUE(main->Visible()); // stored hidden, but its dock path names no dock site
    EXPECT_TRUE(tools->Visible());
    delete site;
}

// The form going writes the layout to both stores; a store that cannot be written does not stop the
// form from going.
TEST_F(LayoutStoringTest, FormGoingSavesAndSurvivesWriteFailures) {
    const std::string path = dir + "/going.ini";
    for (const std::string& file : {path, std::string("/proc/no-such-dir/bars.ini")}) {
        auto* other = new BarsForm;
        other->SetName("OtherForm");
        auto* otherManager = new TdxBarManager(other);
        otherManager->SetName("Bars");
        otherManager->SetStyle(bmsFlat);
        otherManager->SetIniFileName(file);
        otherManager->SetStoreInIniFile(true);
        otherManager->SetRegistryPath("Software\\Pathweaver\\Going");
        otherManager->SetStoreInRegistry(true);
        TdxBar* bar = otherManager->Bars()->Add();
        bar->SetCaption("Only");
        bar->SetDockingStyle(dsTop);
        bar->SetVisible(true);
        other->Show();
        Pump();
        EXPECT_NO_THROW(delete other);
        Pump();
    }
    EXPECT_NE(IniText(path).find("[OtherForm.Bars.Bar0]"), std::string::npos);
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("\\Software\\Pathweaver\\Going\\Bar0"));
}

// A failure while a form finishing its loading reads its layout (here a handler the layout's bars run)
// is reported, not thrown into the form's making.
TEST_F(LayoutStoringTest, AFailureReadingTheLayoutAsTheFormLoadsStopsNothing) {
    BuildLayout();
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
    manager->SetRegistryPath("Software\\Pathweaver\\Layout");
    manager->SetStoreInRegistry(true);
    manager->OnBarVisibleChange = [](TObject*, TdxBar*) { throw Exception("the handler failed"); };
    EXPECT_NO_THROW(bars::LoadStoredLayout(manager));
    manager->OnBarVisibleChange = nullptr;
    manager->SetStoreInRegistry(false);
}

// Both stores name and order their values as other builds write them: options, then one key or section
// per bar with its values in their order, then one per link. Every option survives both stores, and a
// link's usage is kept only where its collection uses recent items.
TEST_F(LayoutStoringTest, StoredNamesOrderOptionsAndUsage) {
    const std::string path = dir + "/bars.ini";
    BuildLayout();
    tools->SetUseRecentItems(false);
    main->ItemLinks()->Items(0)->SetUseCount(7);
    manager->SetMenusShowRecentItemsFirst(false);
    manager->SetShowFullMenusAfterDelay(false);
    manager->SetShowShortCutInHint(true);
    manager->SetMenuAnimations(maFade);
    Pump();
    bars::SaveLayoutToRegistry(manager, "Software\\Pathweaver\\Layout");
    bars::SaveLayoutToIni(manager, path);
    using Names = std::vector<std::string>;
    const Names options{"MenusShowRecentItemsFirst",
                        "ShowFullMenusAfterDelay",
                        "LargeIcons",
                        "MenuAnimations",
                        "ShowHint",
                        "ShowShortCutInHint",
                        "BarCount"};
    const Names bar{"Caption",           "DockedDockingStyle", "DockedLeft",
                    "DockedTop",         "OneOnRow",           "Row",
                    "FloatLeft",         "FloatTop",           "FloatClientWidth",
                    "FloatClientHeight", "DockingStyle",       "Visible",
                    "ItemLinkCount"};
    const Names usedLink{"ItemName", "BeginGroup", "UserDefine", "Visible", "UseCount", "RecentIndex"};
    const Names changedLink{"ItemName", "BeginGroup", "UserDefine", "UserCaption",
                            "Visible",  "UseCount",   "RecentIndex"};
    const Names plainLink{"ItemName", "BeginGroup", "UserDefine", "UserWidth", "Visible"};
    const Names menuLink{"ItemName", "BeginGroup", "UserDefine", "UseCount", "RecentIndex"};
    TRegistry reg;
    auto values = [&reg](const std::string& key) {
        EXPECT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout" + key)) << key;
        Names names = reg.ValueNames();
        reg.CloseKey();
        return names;
    };
    EXPECT_EQ(values(""), options);
    EXPECT_EQ(values("\\Bar0"), bar);
    EXPECT_EQ(values("\\Bar0\\ItemLink0"), usedLink);
    EXPECT_EQ(values("\\Bar0\\ItemLink1"), changedLink);
    EXPECT_EQ(values("\\Bar1\\ItemLink1"), plainLink); // this bar uses no recent items
    EXPECT_EQ(values("\\SubItem_FileMenu"), Names{"ItemLinkCount"});
    EXPECT_EQ(values("\\SubItem_FileMenu\\ItemLink0"), menuLink);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pathweaver\\Layout\\Bar0\\ItemLink0"));
    EXPECT_EQ(reg.ReadInteger("UseCount"), 7);
    reg.CloseKey();

    TMemIniFile ini(path);
    EXPECT_EQ(ini.SectionKeys("MainForm.BarManager1.Main"), options);
    EXPECT_EQ(ini.SectionKeys("MainForm.BarManager1.Bar0"), bar);
    EXPECT_EQ(ini.SectionKeys("MainForm.BarManager1.Bar0.ItemLink0"), usedLink);
    EXPECT_EQ(ini.SectionKeys("MainForm.BarManager1.Bar0.ItemLink1"), changedLink);
    EXPECT_EQ(ini.SectionKeys("MainForm.BarManager1.Bar1.ItemLink1"), plainLink);
    EXPECT_EQ(ini.SectionKeys("MainForm.BarManager1.SubItem_FileMenu.ItemLink0"), menuLink);
    EXPECT_EQ(ini.ReadString("MainForm.BarManager1.Main", "MenuAnimations", ""), "4");
    EXPECT_EQ(ini.ReadString("MainForm.BarManager1.Main", "ShowShortCutInHint", ""), "1");
    EXPECT_EQ(ini.ReadString("MainForm.BarManager1.Bar0", "DockingStyle", ""), "2");

    // Each option the other way round, then read back from each store in turn.
    for (const bool fromIni : {false, true}) {
        SCOPED_TRACE(fromIni ? "INI" : "registry");
        manager->SetMenusShowRecentItemsFirst(true);
        manager->SetShowFullMenusAfterDelay(true);
        manager->SetLargeIcons(false);
        manager->SetMenuAnimations(maUnfold);
        manager->SetShowHint(true);
        manager->SetShowShortCutInHint(false);
        main->ItemLinks()->Items(0)->SetUseCount(0);
        LoadFrom(fromIni, path);
        EXPECT_FALSE(manager->MenusShowRecentItemsFirst());
        EXPECT_FALSE(manager->ShowFullMenusAfterDelay());
        EXPECT_TRUE(manager->LargeIcons());
        EXPECT_EQ(manager->MenuAnimations(), maFade);
        EXPECT_FALSE(manager->ShowHint());
        EXPECT_TRUE(manager->ShowShortCutInHint());
        EXPECT_EQ(main->ItemLinks()->Items(0)->UseCount(), 7);
    }
}

// A floating toolbar read back as its form finishes loading (the flat style and large icons taking
// effect only then) comes back in one row, as wide and where it was stored, at the bottom of the
// screen where any taller it would have to move; saved again, the layout is the one read. Refits of
// its own (the icons made small and large again) keep that width; one the user gives it is stored.
TEST_F(LayoutStoringTest, AFloatingToolbarKeepsItsStoredWidthAndPlace) {
    const std::string key = "Software\\Pathweaver\\Floating";
    auto make = [&key](BarsForm& owner, bool streamed) {
        owner.SetName("Floating");
        auto* bars = new TdxBarManager(&owner);
        if (streamed) bars->Loading();
        bars->SetStyle(bmsFlat);
        bars->SetLargeIcons(true);
        bars->SetRegistryPath(key);
        bars->SetStoreInRegistry(true);
        TdxBar* bar = bars->Bars()->Add();
        bar->SetDockingStyle(dsTop);
        for (const char* caption :
             {"&Open...", "&Save", "Sa&ve As...", "&Options...", "FTP Upload...", "Help..."}) {
            auto* item = new TdxBarButton(&owner);
            item->SetName(std::string("Command") + std::to_string(bar->ItemLinks()->Count()));
            item->SetCaption(caption);
            item->SetPaintStyle(psCaptionGlyph);
            bar->ItemLinks()->Add()->SetItem(item);
        }
        bar->SetVisible(true);
        if (streamed) bars->Loaded();
        owner.Show();
        Pump();
        return bar;
    };
    auto rows = [](TdxBar* bar) {
        std::set<LONG> tops;
        for (int i = 0; i < bar->ItemLinks()->Count(); ++i)
            tops.insert(bar->ItemLinks()->Items(i)->ItemRect().top);
        return tops.size();
    };
    auto storeText = [this] { return IniText(dir + "/registry.dat"); };
    TRegistry reg;
    std::string stored;
    RECT r{}, client{};
    {
        BarsForm owner;
        TdxBar* bar = make(owner, false);
        bar->SetDockingStyle(dsNone);
        Pump();
        const HWND window = bar->Control()->Handle();
        GetWindowRect(window, r);
        const int bottom = GetMonitorWorkArea(POINT{r.left, r.top}).bottom;
        SetWindowPos(window, nullptr, 20, bottom - (r.bottom - r.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Pump();
        ASSERT_EQ(rows(bar), 1u);
        GetWindowRect(window, r);
        GetClientRect(window, client);
    }
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\" + key + "\\Bar0"));
    ASSERT_EQ(reg.ReadInteger("FloatClientWidth"), client.right);
    stored = storeText();

    BarsForm owner;
    TdxBar* bar = make(owner, true);
    ASSERT_EQ(bar->DockingStyle(), dsNone);
    const HWND window = bar->Control()->Handle();
    EXPECT_EQ(rows(bar), 1u);
    RECT back{}, backClient{};
    GetWindowRect(window, back);
    GetClientRect(window, backClient);
    EXPECT_TRUE(EqualRect(back, r));
    EXPECT_EQ(backClient.right, client.right);
    bars::SaveLayoutToRegistry(bar->BarManager(), key);
    EXPECT_EQ(storeText(), stored);

    bar->BarManager()->SetLargeIcons(false);
    bar->BarManager()->SetLargeIcons(true);
    Pump();
    EXPECT_EQ(rows(bar), 1u);
    EXPECT_EQ(bar->FloatClientWidth(), client.right);
    // Dragged narrower by its right edge, as the window's sizing loop does it.
    GetWindowRect(window, r);
    r.right -= client.right / 2;
    SendMessage(window, WM_SIZING, 2 /* the right edge */, reinterpret_cast<LPARAM>(&r));
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
    Pump();
    EXPECT_GT(rows(bar), 1u);
    GetClientRect(window, client);
    EXPECT_EQ(bar->FloatClientWidth(), client.right);
}

// A layout whose store was cut short is not applied and stays in the store: another layout read over
// the bars (an INI file) is no change of the user's, a bar the user docks elsewhere is.
TEST_F(LayoutStoringTest, ALayoutCutShortStaysUntilTheUserChangesTheBars) {
    BuildLayout();
    const std::string ini = dir + "/bars.ini", store = dir + "/registry.dat",
                      key = "Software\\Pathweaver\\Layout";
    tools->SetDockingStyle(dsLeft);
    bars::SaveLayoutToIni(manager, ini);
    tools->SetDockingStyle(dsTop);
    bars::SaveLayoutToRegistry(manager, key);
    const std::string whole = IniText(store), cut = whole.substr(0, whole.size() - 20);
    std::ofstream(store, std::ios::trunc) << cut;
    bars::LoadLayoutFromRegistry(manager, key);
    bars::LoadLayoutFromIni(manager, ini);
    Pump();
    ASSERT_EQ(tools->DockingStyle(), dsLeft);
    bars::SaveLayoutToRegistry(manager, key);
    EXPECT_EQ(IniText(store), cut);

    tools->SetDockingStyle(dsBottom);
    bars::SaveLayoutToRegistry(manager, key);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(key + "\\Bar1"));
    EXPECT_FALSE(reg.CutShort());
    EXPECT_EQ(reg.ReadInteger("DockingStyle"), dsBottom);
}
