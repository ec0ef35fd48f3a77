// A stored layout in which one value has another type than the one written (a number as text, text as
// binary data...), at every key either store holds: reading it throws nothing, and what the value does
// not reach (its bar, its link, the entries it counts) reads back as stored.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/sub_item.h"
#include "bars/storage/layout_storing.h"
#include "platform/graphics/bitmap.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/registry.h"

using namespace bars_windows_test;

namespace {

const char* const kKey = "\\Software\\Pathweaver\\Mistyped";
const char* const kSaved = "\\Software\\Pathweaver\\Saved";
const char* const kBase = "MainForm.BarManager1.";

// "Bar0\ItemLink1|UserCaption" (registry) or "Bar0.ItemLink1|UserCaption" (INI) -> type and data.
using Stored = std::map<std::string, std::pair<TRegDataType, std::string>>;

// What a mistyped value may take along: a bar or link its own values, a name its link (the links after
// it move up), a use its collection's order. A count stands for the entries there are: it takes none.
bool InReach(const std::string& Damaged, const std::string& Other, char Sep) {
    const std::string path = Damaged.substr(0, Damaged.find('|')), name = Damaged.substr(path.size() + 1);
    const std::string parent = path.substr(0, path.rfind(Sep) == std::string::npos ? 0 : path.rfind(Sep));
    auto starts = [&Other](const std::string& prefix) {
        return Other.compare(0, prefix.size(), prefix) == 0;
    };
    if (name == "ItemName" || name == "UseCount" || name == "RecentIndex")
        return starts(parent + Sep + "ItemLink") || Other == parent + "|ItemLinkCount";
    if (name == "UserDefine") return starts(path + "|");
    // A bar's own values; in the INI store a bar without its row is no bar, its links go with it.
    if (path.compare(0, 3, "Bar") == 0 && path.find(Sep) == std::string::npos)
        return starts(path + "|") || (Sep == '.' && name == "Row" && starts(path + Sep));
    return Other == Damaged;
}

class MistypedLayoutTest : public BarWindowsTest {
protected:
    MistypedLayoutTest() {
        char pattern[] = "/tmp/pw-mistyped-XXXXXX";
        dir = mkdtemp(pattern);
        SetRegistryStoreFile(dir + "/registry.dat");
        form.SetName("MainForm");
        manager->SetName("BarManager1");
        auto named = [this](const char* name) {
            TdxBarButton* button = Button(name);
            button->SetName(name);
            return button;
        };
        TdxBarButton *open = named("Open"), *save = named("Save"), *print = named("Print");
        file = new TdxBarSubItem(&form);
        file->SetName("FileMenu");
        file->ItemLinks()->Add()->SetItem(open);
        file->ItemLinks()->Add()->SetItem(print);
        main = Toolbar("Main", {open, save, print, file});
        tools = Toolbar("Tools", {print, open}, dsTop, 1);
        tools->SetDockingStyle(dsNone);
        tools->SetFloatLeft(300);
        tools->SetFloatTop(200);
        // Every value a link can store: the user's caption, picture, style and width, usage.
        TdxBarItemLinks* links = main->ItemLinks();
        links->Items(0)->SetUserCaption("Mine");
        links->Items(0)->SetUserPaintStyle(psCaption);
        links->Items(1)->SetUserWidth(90);
        links->Items(1)->SetBeginGroup(true);
        TBitmap glyph;
        glyph.SetSize(16, 16);
        links->Items(2)->SetUserGlyph(&glyph);
        links->Items(2)->SetUseCount(5);
        tools->ItemLinks()->Items(1)->SetVisible(false);
        manager->SetMenuAnimations(maSlide);
        manager->SetShowHint(false);
        Pump();
    }
    ~MistypedLayoutTest() override {
        SetRegistryStoreFile("");
        std::filesystem::remove_all(dir);
    }

    // Every stored value differs from what the layout holds, so that one not read shows.
    void Scramble() {
        manager->SetMenusShowRecentItemsFirst(!manager->MenusShowRecentItemsFirst());
        manager->SetShowFullMenusAfterDelay(!manager->ShowFullMenusAfterDelay());
        manager->SetLargeIcons(!manager->LargeIcons());
        manager->SetMenuAnimations(maFade);
        manager->SetShowHint(!manager->ShowHint());
        manager->SetShowShortCutInHint(!manager->ShowShortCutInHint());
        for (TdxBar* bar : {main, tools}) {
            bar->ItemLinks()->Clear();
            bar->SetCaption("Scrambled");
            bar->SetDockingStyle(dsBottom);
            bar->SetRow(3);
            bar->SetOneOnRow(true);
            bar->SetFloatLeft(11);
            bar->SetFloatTop(12);
            bar->SetFloatClientWidth(130);
            bar->SetFloatClientHeight(40);
        }
        file->ItemLinks()->Clear();
        Pump();
    }

    Stored RegistryValues(const std::string& Key, const std::string& Path = "") {
        Stored values;
        TRegistry reg;
        if (!reg.OpenKeyReadOnly(Key + (Path.empty() ? "" : "\\" + Path))) return values;
        for (const std::string& name : reg.ValueNames()) {
            const TRegDataType type = reg.GetDataType(name);
            std::string data = type == rdInteger ? std::to_string(reg.ReadInteger(name)) : "";
            if (type == rdString || type == rdExpandString) data = reg.ReadString(name);
            data.resize(type == rdBinary ? static_cast<size_t>(reg.GetDataSize(name)) : data.size());
            if (type == rdBinary) reg.ReadBinaryData(name, data.data(), static_cast<int>(data.size()));
            values[Path + "|" + name] = {type, data};
        }
        for (const std::string& sub : reg.KeyNames())
            values.merge(RegistryValues(Key, Path.empty() ? sub : Path + "\\" + sub));
        return values;
    }

    void WriteRegistry(const Stored& Values) {
        TRegistry reg;
        reg.StartTransaction();
        reg.DeleteKey(kKey);
        for (const auto& [id, value] : Values) {
            const std::string path = id.substr(0, id.find('|')), name = id.substr(path.size() + 1);
            ASSERT_TRUE(reg.OpenKey(kKey + (path.empty() ? "" : "\\" + path), true));
            const auto& [type, data] = value;
            if (type == rdInteger) reg.WriteInteger(name, std::stoi(data));
            if (type == rdString) reg.WriteString(name, data);
            if (type == rdExpandString) reg.WriteExpandString(name, data);
            if (type == rdBinary) reg.WriteBinaryData(name, data.data(), static_cast<int>(data.size()));
        }
        reg.CloseKey();
        reg.CommitTransaction();
    }

    Stored IniValues(const std::string& Path) {
        Stored values;
        TMemIniFile ini(Path);
        for (const std::string& section : ini.SectionNames())
            for (const std::string& key : ini.SectionKeys(section))
                values[section.substr(std::string(kBase).size()) + "|" + key] = {
                    rdString, ini.ReadString(section, key, "")};
        return values;
    }

    void WriteIni(const std::string& Path, const Stored& Values) {
        TMemIniFile ini(Path);
        ini.Clear();
        for (const auto& [id, value] : Values)
            ini.WriteString(kBase + id.substr(0, id.find('|')), id.substr(id.find('|') + 1), value.second);
        ini.UpdateFile();
    }

    // Each value in turn stored as each type it is not; read, and written again for a look at the result.
    template <class Write, class Load, class Saved>
    void ExpectEachMistypedValueReadAlone(const Stored& Good, const Stored& Reference, char Sep,
                                          const std::vector<std::pair<TRegDataType, std::string>>& Wrong,
                                          Write write, Load load, Saved saved) {
        int cases = 0;
        for (const auto& [id, value] : Good) {
            for (const auto& [type, data] : Wrong) {
                // Binary data of another length than the one written counts as mistyped too.
                if (type == value.first && type != rdBinary && Sep == '\\') continue;
                if (Sep == '.' && value.second.find_first_not_of("-0123456789") != std::string::npos)
                    continue;
                SCOPED_TRACE(id + " stored as type " + std::to_string(type) + " '" + data + "'");
                Stored damaged = Good;
                damaged[id] = {type, data};
                write(damaged);
                Scramble();
                EXPECT_NO_THROW(load());
                Pump();
                Stored result = saved();
                for (const auto& [other, expected] : Reference) {
                    if (InReach(id, other, Sep)) continue;
                    EXPECT_EQ(result[other], expected) << other;
                }
                ++cases;
            }
        }
        EXPECT_GT(cases, 60);
    }

    std::string dir;
    TdxBar *main = nullptr, *tools = nullptr;
    TdxBarSubItem* file = nullptr;
};

} // namespace

TEST_F(MistypedLayoutTest, RegistryValuesOfAnotherTypeReadAsDefaults) {
    bars::SaveLayoutToRegistry(manager, kKey);
    Stored good = RegistryValues(kKey);
    // The dock paths are written only for bars that have them: stored here as naming none.
    good["Bar0|DockControl"] = good["Bar0|DockedDockControl"] = {rdString, "MainForm.NoSuchDock"};
    WriteRegistry(good);
    Scramble();
    bars::LoadLayoutFromRegistry(manager, kKey);
    bars::SaveLayoutToRegistry(manager, kSaved);
    const Stored reference = RegistryValues(kSaved);
    ASSERT_EQ(reference.at("Bar0\\ItemLink0|UserCaption").second, "Mine");
    ExpectEachMistypedValueReadAlone(
        good, reference, '\\',
        {{rdString, "1"},
         {rdString, ""},
         {rdExpandString, "2"},
         {rdBinary, ""},
         {rdBinary, "\x01\x02"},
         {rdInteger, "1"}},
        [this](const Stored& values) { WriteRegistry(values); },
        [this] { bars::LoadLayoutFromRegistry(manager, kKey); },
        [this] {
            bars::SaveLayoutToRegistry(manager, kSaved);
            return RegistryValues(kSaved);
        });
}

TEST_F(MistypedLayoutTest, IniNumbersThatAreNoNumbersReadAsDefaults) {
    const std::string ini = dir + "/bars.ini", saved = dir + "/saved.ini";
    bars::SaveLayoutToIni(manager, ini);
    const Stored good = IniValues(ini);
    Scramble();
    bars::LoadLayoutFromIni(manager, ini);
    bars::SaveLayoutToIni(manager, saved);
    const Stored reference = IniValues(saved);
    ExpectEachMistypedValueReadAlone(
        good, reference, '.',
        {{rdString, "text"},
         {rdString, ""},
         {rdString, "1.5"},
         {rdString, "99999999999"},
         {rdString, "\x01\x7F"}},
        [&](const Stored& values) { WriteIni(ini, values); }, [&] { bars::LoadLayoutFromIni(manager, ini); },
        [&] {
            bars::SaveLayoutToIni(manager, saved);
            return IniValues(saved);
        });
}
