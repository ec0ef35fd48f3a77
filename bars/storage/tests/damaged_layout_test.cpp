// Layouts from stores that were damaged, edited by hand or written by something else: whatever a store
// holds, reading it ends at once with bars that can be shown, and nothing crashes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "bar_windows_fixture.h"
#include "bars/core/sub_item.h"
#include "bars/storage/fuzz/layout_load_input.h"
#include "bars/storage/layout_storing.h"
#include "lookandfeel/monitor.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/registry.h"

using namespace bars_windows_test;

namespace {

const char* const kKey = "Software\\Pathweaver\\Damaged";
const char* const kBase = "MainForm.BarManager1.";

class DamagedLayoutTest : public BarWindowsTest {
protected:
    DamagedLayoutTest() {
        char pattern[] = "/tmp/pw-damaged-XXXXXX";
        dir = mkdtemp(pattern);
        SetRegistryStoreFile(dir + "/registry.dat");
        form.SetName("MainForm");
        manager->SetName("BarManager1");
        open = Named("Open");
        save = Named("Save");
        main = Toolbar("Main", {open, save});
        file = new TdxBarSubItem(&form);
        file->SetName("FileMenu");
        file->ItemLinks()->Add()->SetItem(open);
        ini = dir + "/bars.ini";
    }
    ~DamagedLayoutTest() override {
        SetRegistryStoreFile("");
        std::filesystem::remove_all(dir);
    }

    TdxBarButton* Named(const std::string& name) {
        TdxBarButton* button = Button(name);
        button->SetName(name);
        return button;
    }

    void WriteIni(const std::string& text) {
        std::ofstream out(ini, std::ios::binary);
        out << text;
    }

    // Opens (making it) a key of the stored layout: "" for the layout's own key.
    void Put(const std::string& sub, const std::function<void(TRegistry&)>& write) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\" + std::string(kKey) + (sub.empty() ? "" : "\\" + sub), true));
        write(reg);
        reg.CloseKey();
    }

    // Every bar is one the windows can show: a style of the five, a window where it is shown, and a
    // floating window inside the screen's work area, its close box too.
    void ExpectSoundBars() {
        Pump();
        EXPECT_GE(manager->MenuAnimations(), maNone);
        EXPECT_LE(manager->MenuAnimations(), maFade);
        for (int i = 0; i < manager->Bars()->Count(); ++i) {
            TdxBar* bar = manager->Bars()->Items(i);
            SCOPED_TRACE(bar->Caption().substr(0, 40));
            EXPECT_GE(bar->DockingStyle(), dsNone);
            EXPECT_LE(bar->DockingStyle(), dsBottom);
            EXPECT_GE(bar->DockedDockingStyle(), dsNone);
            EXPECT_LE(bar->DockedDockingStyle(), dsBottom);
            for (int j = 0; j < bar->ItemLinks()->Count(); ++j) {
                EXPECT_GE(bar->ItemLinks()->Items(j)->PaintStyle(), psStandard);
                EXPECT_LE(bar->ItemLinks()->Items(j)->PaintStyle(), psCaptionGlyph);
                EXPECT_EQ(bar->ItemLinks()->Items(j)->UserDefine().Bits() & ~0xFu, 0u);
            }
            if (!bar->Visible()) continue;
            ASSERT_NE(Window(bar), nullptr);
            if (bar->DockingStyle() != dsNone) continue;
            RECT r{0, 0, 0, 0};
            GetWindowRect(Window(bar)->Handle(), r);
            const RECT work = GetMonitorWorkArea(POINT{r.left, r.top});
            EXPECT_GE(r.left, work.left);
            EXPECT_GE(r.top, work.top);
            EXPECT_LE(r.right, work.right);
            EXPECT_LE(r.bottom, work.bottom);
        }
    }

    std::string dir, ini;
    TdxBarButton *open = nullptr, *save = nullptr;
    TdxBar* main = nullptr;
    TdxBarSubItem* file = nullptr;
};

} // namespace

// A stored ordinal outside its enumeration (docking styles, menu animations, paint styles, the user's
// changes) reads as a missing value would: the bar keeps its own, and it shows docked where it was.
TEST_F(DamagedLayoutTest, OrdinalsOutOfRangeReadAsTheirDefaults) {
    for (const char* style : {"99", "-3", "5", "0x7FFFFFFF"}) {
        SCOPED_TRACE(style);
        WriteIni(std::string("[") + kBase + "Main]\nBarCount=1\nMenuAnimations=" + style + "\n[" + kBase +
                 "Bar0]\nRow=0\nDockingStyle=" + style + "\nDockedDockingStyle=" + style + "\nVisible=1\n" +
                 "ItemLinkCount=1\n[" + kBase + "Bar0.ItemLink0]\nItemName=Save\nUserDefine=4095\n" +
                 "UserPaintStyle=" + style + "\n");
        bars::LoadLayoutFromIni(manager, ini);
        ExpectSoundBars();
        EXPECT_EQ(main->DockingStyle(), dsTop);
        EXPECT_EQ(main->DockedDockingStyle(), dsTop);
        ASSERT_EQ(main->ItemLinks()->Count(), 1);
        EXPECT_EQ(main->ItemLinks()->Items(0)->PaintStyle(), psStandard);
        EXPECT_NE(Window(main), nullptr);
    }
    main->SetDockingStyle(dsBottom);
    manager->SetMenuAnimations(maSlide);
    for (const int style : {99, -3, 5, INT_MIN}) {
        SCOPED_TRACE(style);
        Put("", [](TRegistry& reg) { reg.WriteInteger("BarCount", 1); });
        Put("", [&](TRegistry& reg) { reg.WriteInteger("MenuAnimations", style); });
        Put("Bar0", [&](TRegistry& reg) {
            for (const char* name : {"DockedLeft", "DockedTop", "OneOnRow", "Row", "FloatLeft", "FloatTop",
                                     "FloatClientWidth", "FloatClientHeight"})
                reg.WriteInteger(name, 0);
            reg.WriteInteger("DockedDockingStyle", style);
            reg.WriteInteger("DockingStyle", style);
            reg.WriteInteger("Visible", 1);
            reg.WriteInteger("ItemLinkCount", 1);
        });
        Put("Bar0\\ItemLink0", [&](TRegistry& reg) {
            reg.WriteString("ItemName", "Open");
            const uint8_t defines = 0xF4;
            reg.WriteBinaryData("UserDefine", &defines, 1);
            reg.WriteInteger("UserPaintStyle", style);
        });
        bars::LoadLayoutFromRegistry(manager, kKey);
        ExpectSoundBars();
        EXPECT_EQ(main->DockingStyle(), dsBottom);
        EXPECT_EQ(manager->MenuAnimations(), maSlide);
        // Read up to the end: the values after the damaged ones are there.
        EXPECT_TRUE(main->Visible());
        ASSERT_EQ(main->ItemLinks()->Count(), 1);
        EXPECT_EQ(main->ItemLinks()->Items(0)->PaintStyle(), psStandard);
    }
    // Nor do the setters take numbers beyond their enumerations from elsewhere.
    main->SetDockingStyle(static_cast<TdxBarDockingStyle>(5));
    main->SetDockedDockingStyle(static_cast<TdxBarDockingStyle>(7));
    manager->SetMenuAnimations(static_cast<TdxBarMenuAnimations>(6));
    main->ItemLinks()->Items(0)->SetUserPaintStyle(static_cast<TdxBarPaintStyle>(4));
    EXPECT_EQ(main->DockingStyle(), dsBottom);
    EXPECT_EQ(main->DockedDockingStyle(), dsBottom);
    EXPECT_EQ(manager->MenuAnimations(), maSlide);
    EXPECT_EQ(main->ItemLinks()->Items(0)->PaintStyle(), psStandard);
}

// Counts far beyond what the store holds, or below zero, end at the last bar and link there are.
TEST_F(DamagedLayoutTest, CountsStopAtWhatTheStoreHolds) {
    for (const int count : {INT_MAX, INT_MIN, -1, 1000000000}) {
        SCOPED_TRACE(count);
        const std::string n = std::to_string(count);
        WriteIni(std::string("[") + kBase + "Main]\nBarCount=" + n + "\n[" + kBase + "Bar0]\nRow=0\n" +
                 "DockingStyle=2\nVisible=1\nItemLinkCount=" + n + "\n[" + kBase +
                 "Bar0.ItemLink0]\nItemName=Save\n[" + kBase + "Bar1]\nRow=1\nVisible=1\n[" + kBase +
                 "SubItem_FileMenu]\nItemLinkCount=" + n + "\n[" + kBase +
                 "SubItem_FileMenu.ItemLink3]\nItemName=Save\n");
        bars::LoadLayoutFromIni(manager, ini);
        ExpectSoundBars();
        if (count > 0) {
            EXPECT_EQ(manager->Bars()->Count(), 2);
            ASSERT_EQ(main->ItemLinks()->Count(), 1);
            ASSERT_EQ(file->ItemLinks()->Count(), 1);
            EXPECT_EQ(file->ItemLinks()->Items(0)->Item(), save);
        }

        std::filesystem::remove(dir + "/registry.dat");
        Put("", [&](TRegistry& reg) { reg.WriteInteger("BarCount", count); });
        Put("Bar0", [&](TRegistry& reg) { reg.WriteInteger("ItemLinkCount", count); });
        Put("Bar0\\ItemLink0", [](TRegistry& reg) { reg.WriteString("ItemName", "Open"); });
        Put("Bar0\\ItemLink7", [](TRegistry& reg) { reg.WriteString("ItemName", "Save"); });
        Put("SubItem_FileMenu", [&](TRegistry& reg) { reg.WriteInteger("ItemLinkCount", count); });
        bars::LoadLayoutFromRegistry(manager, kKey);
        ExpectSoundBars();
        if (count > 0) {
            EXPECT_EQ(manager->Bars()->Count(), 2);
            ASSERT_EQ(main->ItemLinks()->Count(), 2);
            EXPECT_EQ(main->ItemLinks()->Items(1)->Item(), save);
            EXPECT_EQ(file->ItemLinks()->Count(), 0);
        }
    }
}

// Positions and sizes at the ends of the integers: a floating bar lands on the screen, a docked one
// in its site.
TEST_F(DamagedLayoutTest, ExtremePositionsPlaceBarsOnTheScreen) {
    for (const int at : {INT_MAX, INT_MIN, INT_MAX - 10, -40000}) {
        SCOPED_TRACE(at);
        const std::string n = std::to_string(at);
        WriteIni(std::string("[") + kBase + "Main]\nBarCount=2\n[" + kBase + "Bar0]\nRow=" + n +
                 "\nDockingStyle=0\nFloatLeft=" + n + "\nFloatTop=" + n + "\nFloatClientWidth=" + n +
                 "\nFloatClientHeight=" + n + "\nVisible=1\nItemLinkCount=2\n[" + kBase +
                 "Bar0.ItemLink0]\nItemName=Open\nUserDefine=8\nUserWidth=" + n + "\n[" + kBase +
                 "Bar0.ItemLink1]\nItemName=Save\n[" + kBase + "Bar1]\nRow=" + n + "\nDockingStyle=4\n" +
                 "DockedLeft=" + n + "\nDockedTop=" + n + "\nVisible=1\n");
        bars::LoadLayoutFromIni(manager, ini);
        ExpectSoundBars();
        EXPECT_EQ(main->DockingStyle(), dsNone);
        ASSERT_EQ(manager->Bars()->Count(), 2);
        EXPECT_EQ(manager->Bars()->Items(1)->DockingStyle(), dsBottom);
        // The bar is dragged as any other.
        main->SetDockingStyle(dsTop);
        Pump();
        main->SetDockingStyle(dsNone);
        ExpectSoundBars();
    }
}

// Texts of megabytes (captions, item names, dock paths, sub-item names) and bytes that are no text at
// all read without harm.
TEST_F(DamagedLayoutTest, HugeTextsAndBinaryJunk) {
    const std::string huge(3 << 20, 'M');
    WriteIni(std::string("[") + kBase + "Main]\nBarCount=1\n[" + kBase + "Bar0]\nRow=0\nCaption=" + huge +
             "\nDockControl=" + huge + "." + huge + "\nDockedDockControl=" + huge + "\nVisible=1\n" +
             "ItemLinkCount=2\n[" + kBase + "Bar0.ItemLink0]\nItemName=" + huge + "\n[" + kBase +
             "Bar0.ItemLink1]\nItemName=Open\nUserDefine=1\nUserCaption=" + huge + "\n");
    bars::LoadLayoutFromIni(manager, ini);
    ExpectSoundBars();
    ASSERT_EQ(main->ItemLinks()->Count(), 1);
    EXPECT_EQ(main->ItemLinks()->Items(0)->Caption().size(), huge.size());

    Put("", [](TRegistry& reg) { reg.WriteInteger("BarCount", 1); });
    Put("Bar0", [&](TRegistry& reg) {
        reg.WriteString("Caption", huge);
        reg.WriteString("DockControl", huge);
        reg.WriteInteger("ItemLinkCount", 1);
    });
    Put("Bar0\\ItemLink0", [&](TRegistry& reg) {
        reg.WriteString("ItemName", "Open");
        reg.WriteBinaryData("UserDefine", huge.data(), static_cast<int>(huge.size()));
    });
    bars::LoadLayoutFromRegistry(manager, kKey);
    ExpectSoundBars();

    std::mt19937 random(20240611);
    std::string junk(1 << 16, '\0');
    for (int round = 0; round < 4; ++round) {
        for (char& c : junk)
            c = static_cast<char>(random());
        // Junk between lines a reader knows, and junk alone.
        WriteIni(std::string("[") + kBase + "Main]\nBarCount=3\n" + junk + "\n[" + kBase + "Bar1]\nRow=1\n" +
                 junk);
        bars::LoadLayoutFromIni(manager, ini);
        ExpectSoundBars();
        {
            std::ofstream out(dir + "/registry.dat", std::ios::binary | std::ios::trunc);
            out << "PathweaverRegistry 1\nK :Software :Pathweaver :Damaged\n"
                << junk << "\nV :BarCount dword :2\n"
                << junk;
        }
        bars::LoadLayoutFromRegistry(manager, kKey);
        ExpectSoundBars();
    }
}

// The fuzz target's kept inputs (the first that crashed among them) read as the target reads them.
TEST_F(DamagedLayoutTest, KeptFuzzInputsReadSoundly) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PW_SOURCE_DIR "/bars/storage/fuzz/corpus")) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(
            layout_fuzz::LoadLayoutInput(reinterpret_cast<const uint8_t*>(input.data()), input.size(), dir));
        ++inputs;
    }
    EXPECT_GE(inputs, 3);
    SetRegistryStoreFile(dir + "/registry.dat");
}

// A floating bar stored at the far right of every screen, read as its form loads (its style taking
// effect after it was placed, its caption wider than its buttons), shows whole inside the work area.
TEST_F(DamagedLayoutTest, AFloatingBarStoredAtTheFarRightShowsWhole) {
    WriteIni("[Loading.Manager.Main]\nBarCount=1\n[Loading.Manager.Bar0]\nRow=0\nDockingStyle=0\n"
             "FloatLeft=2147483647\nFloatTop=2147483647\nVisible=1\nItemLinkCount=1\n"
             "[Loading.Manager.Bar0.ItemLink0]\nItemName=Go\n");
    BarsForm loading;
    loading.SetName("Loading");
    auto* loaded = new TdxBarManager(&loading);
    loaded->Loading();
    loaded->SetName("Manager");
    loaded->SetStyle(bmsFlat);
    loaded->SetIniFileName(ini);
    loaded->SetStoreInIniFile(true);
    TdxBar* bar = loaded->Bars()->Add();
    bar->SetCaption("A caption much wider than the one button of the bar");
    auto* go = new TdxBarButton(&loading);
    go->SetName("Go");
    bar->ItemLinks()->Add()->SetItem(go);
    bar->SetVisible(true);
    loaded->Loaded();
    loading.Show();
    Pump();
    ASSERT_EQ(bar->DockingStyle(), dsNone);
    RECT r{};
    GetWindowRect(bar->Control()->Handle(), r);
    const RECT work = GetMonitorWorkArea(POINT{r.left, r.top});
    EXPECT_EQ(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);
    EXPECT_GE(r.left, work.left);
    loaded->SetStoreInIniFile(false);
    bar->SetVisible(false);
}
