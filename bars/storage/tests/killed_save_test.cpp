// A program ended while it writes its layout (killed, or its machine going down) leaves the layout it
// had before or the one it was writing, never a part of one, and the server profiles beside it whole.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "bar_windows_fixture.h"
#include "bars/core/sub_item.h"
#include "bars/storage/layout_storing.h"
#include "platform/rtl/registry.h"

using namespace bars_windows_test;

namespace {

const char* const kKey = "Software\\Pathweaver\\Killed";

class KilledSaveTest : public BarWindowsTest {
protected:
    KilledSaveTest() {
        char pattern[] = "/tmp/pw-killed-XXXXXX";
        dir = mkdtemp(pattern);
        store = dir + "/registry.dat";
        SetRegistryStoreFile(store);
    }
    ~KilledSaveTest() override {
        SetRegistryStoreFile("");
        std::filesystem::remove_all(dir);
    }

    std::string StoreText() const {
        std::ifstream in(store, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The stored lines of a key and its subkeys, as the file holds them (subkeys follow their key).
    std::string Subtree(const std::string& text, const std::string& keyLine) const {
        std::string lines;
        bool inside = false;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("K", 0) == 0) inside = line.rfind(keyLine, 0) == 0;
            if (inside) lines += line + "\n";
        }
        return lines;
    }

    std::string dir, store;
};

} // namespace

// Two layouts of other shapes (bar counts, links, sub-items) saved in turn by a child process that is
// killed at random moments: the store then holds one of them exactly.
TEST_F(KilledSaveTest, TheStoreHoldsTheOldLayoutOrTheNewOne) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Quillmark Software\\Internet\\Profiles\\My Site", true));
        reg.WriteString("Host", "ftp.example.test");
        reg.WriteString("Password", std::string(2000, 'p'));
        reg.CloseKey();
    }
    auto build = [this](BarsForm& owner, TdxBarManager* m, int bars, int links) {
        m->SetStyle(bmsFlat);
        auto* sub = new TdxBarSubItem(&owner);
        sub->SetName("Menu" + std::to_string(bars));
        for (int i = 0; i < links; ++i) {
            auto* item = new TdxBarButton(&owner);
            item->SetName("Command" + std::to_string(i));
            sub->ItemLinks()->Add()->SetItem(item);
        }
        for (int b = 0; b < bars; ++b) {
            TdxBar* bar = m->Bars()->Add();
            bar->SetCaption("Bar " + std::to_string(b) + " of " + std::to_string(bars));
            for (int i = 0; i < links; ++i)
                bar->ItemLinks()->Add()->SetItem(sub->ItemLinks()->Items(i)->Item());
        }
    };
    BarsForm oldForm, newForm;
    auto* oldManager = new TdxBarManager(&oldForm);
    auto* newManager = new TdxBarManager(&newForm);
    build(oldForm, oldManager, 6, 8);
    build(newForm, newManager, 3, 12);
    const std::string keyLine = "K :Software :Pathweaver :Killed";
    bars::SaveLayoutToRegistry(newManager, kKey);
    const std::string newLayout = Subtree(StoreText(), keyLine);
    bars::SaveLayoutToRegistry(oldManager, kKey);
    const std::string oldLayout = Subtree(StoreText(), keyLine);
    const std::string profile = Subtree(StoreText(), "K :Software :Quillmark%20Software");
    ASSERT_NE(oldLayout, newLayout);
    ASSERT_NE(profile.find("ftp.example.test"), std::string::npos);

    std::mt19937 random(4242);
    for (int round = 0; round < 20; ++round) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Nothing but the saves: the windows stay the parent's.
            for (;;) {
                bars::SaveLayoutToRegistry(newManager, kKey);
                bars::SaveLayoutToRegistry(oldManager, kKey);
            }
        }
        // A random moment of the child's saving.
        std::this_thread::sleep_for(std::chrono::microseconds(500 + random() % 30000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string text = StoreText();
        const std::string layout = Subtree(text, keyLine);
        ASSERT_TRUE(layout == oldLayout || layout == newLayout) << "round " << round << ":\n" << layout;
        EXPECT_EQ(Subtree(text, "K :Software :Quillmark%20Software"), profile) << "round " << round;

        // And read back into a manager, the layout is the one stored.
        bars::LoadLayoutFromRegistry(manager, kKey);
        Pump();
        const int stored = layout == oldLayout ? 6 : 3;
        ASSERT_GE(manager->Bars()->Count(), stored);
        const std::string count = " of " + std::to_string(stored);
        for (int b = 0; b < stored; ++b) {
            const std::string caption = manager->Bars()->Items(b)->Caption();
            EXPECT_EQ(caption.substr(caption.size() - std::min(caption.size(), count.size())), count);
        }
        bars::SaveLayoutToRegistry(oldManager, kKey);
    }
}
