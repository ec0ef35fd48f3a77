// Settings files that another program or a damaged disk turned into something else: each is reported,
// ignored, and the window starts with its defaults.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "app/core/map_profile.h"
#include "app/core/site_map_settings.h"
#include "app/main_form.h"
#include "main_form_fixture.h"
#include "tests/support/pipe_unblocker.h"

namespace app_test {
namespace {

using SettingsFilesTest = MainFormTest;

bool HasText(const std::vector<std::string>& Texts, const std::string& Text) {
    return std::find(Texts.begin(), Texts.end(), Text) != Texts.end();
}

void MakeSocket(const fs::path& Path) {
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    Path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(s);
}

// A character device like /dev/null; only root may make one.
bool MakeDevice(const fs::path& Path) {
    return mknod(Path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

bool CanMakeDevices(const fs::path& Dir) {
    const fs::path probe = Dir / "probe-device";
    const bool made = MakeDevice(probe);
    fs::remove(probe);
    return made;
}

void WriteText(const fs::path& Path, const std::string& Text) {
    std::ofstream(Path, std::ios::binary) << Text;
}

TEST_F(SettingsFilesTest, AFileThatCannotBeReadIsReportedAndTheDefaultsAreUsed) {
    const fs::path folder = config_ / "pathweaver";
    Start();
    const TRect centred = form_->BoundsRect();
    Stop();

    struct Kind {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* problem;
    };
    const Kind kinds[] = {
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, "it is a folder"},
        {"pipe", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
         "it is a named pipe (FIFO)"},
        {"loop", [](const fs::path& p) { fs::create_symlink(p, p); }, "it is a loop of symbolic links"},
        {"socket", MakeSocket, "it is a socket"},
        // A device node of its own, so that a fault that writes through it harms no real device.
        {"device", [](const fs::path& p) { MakeDevice(p); }, "it is a device"},
    };
    for (const Kind& kind : kinds) {
        if (std::string(kind.name) == "device" && !CanMakeDevices(dir_)) continue;
        for (const char* name : {"forminfo.ini", "SiteMap.dat"}) {
            SCOPED_TRACE(std::string(kind.name) + " as " + name);
            fs::remove_all(folder);
            fs::create_directories(folder);
            const fs::path path = folder / name;
            kind.make(path);
            testsupport::PipeUnblocker unblocker(path.string());
            prompter_->Asked.clear();
            Start();
            EXPECT_TRUE(HasText(prompter_->Texts(), "Cannot open file " + path.string() + ": " +
                                                        kind.problem +
                                                        ". The program goes on with its default settings."))
                << ::testing::PrintToString(prompter_->Texts());
            EXPECT_EQ(form_->BoundsRect().left, centred.left);
            EXPECT_EQ(form_->BoundsRect().top, centred.top);
            EXPECT_FALSE(form_->Settings()->LoadLast());
            EXPECT_EQ(form_->Profile().FileName(), "Untitled.qpw");
            Stop();
        }
    }

    // A damaged settings file, and stored numbers that no screen has: the same defaults.
    fs::remove_all(folder);
    fs::create_directories(folder);
    WriteText(folder / "SiteMap.dat", std::string("TPF0\x10TSiteMapSettings\x00\x08LoadLast\x77", 32));
    WriteText(folder / "forminfo.ini",
              "[frmSiteMapMainPosition]\nLeft=-2147483648\nTop=0\nRight=2147483647\nBottom=600\n");
    prompter_->Asked.clear();
    Start();
    EXPECT_TRUE(
        HasText(prompter_->Texts(), "Invalid stream format. The program goes on with its default settings."))
        << ::testing::PrintToString(prompter_->Texts());
    EXPECT_EQ(form_->BoundsRect().left, centred.left);
    EXPECT_EQ(form_->BoundsRect().right, centred.right);
    EXPECT_FALSE(form_->Settings()->LoadLast());
}

// Settings behind a link to a drive that is not mounted, or in a settings folder that is a file or such a
// link: each file is said in the window as it opens, and the window going (which stores the settings, the
// placement and the toolbar layout) leaves every link and file as it was, so what they led to comes back
// whole once the drive does.
TEST_F(SettingsFilesTest, SettingsThatCannotBeReachedAreSaidInTheWindowAndLeftAsTheyAre) {
    const fs::path folder = config_ / "pathweaver", unmounted = dir_ / "unmounted";
    const char* const names[] = {"registry.dat", "SiteMap.dat", "forminfo.ini"};
    struct Case {
        std::string why; // for every file
        std::function<void()> make;
        fs::path left;
        fs::file_type type;
    };
    const Case cases[] = {
        {"it is a symbolic link to a file that does not exist",
         [&] {
             fs::create_directories(folder);
             for (const char* name : names)
                 fs::create_symlink(unmounted / name, folder / name);
         },
         folder / "registry.dat", fs::file_type::symlink},
        {folder.string() + " is a symbolic link to a folder that does not exist",
         [&] { fs::create_directory_symlink(unmounted, folder); }, folder, fs::file_type::symlink},
        {folder.string() + " is not a folder", [&] { WriteText(folder, "notes"); }, folder,
         fs::file_type::regular},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        c.make();
        prompter_->Asked.clear();
        Start();
        const std::vector<std::string> texts = prompter_->Texts();
        const std::string why = ": " + c.why + ".";
        EXPECT_TRUE(
            HasText(texts, "The server profiles and the toolbar layout could not be read. Cannot open file " +
                               (folder / "registry.dat").string() + why +
                               " The program goes on without them and leaves the file as it is."))
            << ::testing::PrintToString(texts);
        for (const char* name : {"SiteMap.dat", "forminfo.ini"})
            EXPECT_TRUE(HasText(texts, "Cannot open file " + (folder / name).string() + why +
                                           " The program goes on with its default settings."))
                << ::testing::PrintToString(texts);
        Stop();
        const auto linkTo = [](const fs::path& link) {
            std::error_code none;
            return fs::read_symlink(link, none);
        };
        EXPECT_FALSE(fs::exists(unmounted)) << "nothing is made where a link leads";
        EXPECT_EQ(fs::symlink_status(c.left).type(), c.type) << "left as it was";
        if (c.type == fs::file_type::regular) {
            EXPECT_EQ(ReadFile(folder), "notes");
        }
        if (c.left == folder && c.type == fs::file_type::symlink) {
            EXPECT_EQ(linkTo(folder), unmounted);
        }
        if (c.left != folder) {
            for (const char* name : names)
                EXPECT_EQ(linkTo(folder / name), unmounted / name) << name;
        }
        fs::remove_all(folder);
    }
}

} // namespace
} // namespace app_test
