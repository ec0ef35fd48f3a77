// `pathweaver -auto` writing and uploading the site map of a generated tree of 5,000 pages to vsftpd on
// 127.0.0.1, against `curl -T` of the same files (the page, the sitemap and the images it shows), the
// programs taking turns in every round. Run by hand, as root (vsftpd needs it):
//   upload_bench [--pages N] [--rounds R] [--program PATH]
// The program's upload part is the time from its last file written before the upload (the profile it
// saves) to its end, less the same span of a run that uploads nothing: what is left is the upload
// alone. curl's time is its whole run: start, login, the stores into a folder it makes, quit.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "bench/support/generated_trees.h"
#include "bench/support/timed_child.h"
#include "bench/support/usage.h"
#include "ftp/server_profile.h"
#include "ftp/tests/daemon_peer.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/registry.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

double ModifiedAt(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return 0;
    return static_cast<double>(st.st_mtim.tv_sec) + st.st_mtim.tv_nsec / 1e9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void WriteProfile(const std::string& file, const std::string& index, const std::string& out,
                  const std::string& server) {
    fs::create_directories(out);
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstLocal);
    profile.SetIndexPage(index);
    profile.SetWebsite("http://www.example.com/");
    profile.SetUsePageTitles(true);
    profile.SetOutputFileName(out + "/sitemap.html");
    profile.SetMakeGoogleSM(true);
    profile.SetAddImages(true);
    profile.SetServerName(server);
    profile.SetServerDir(server.empty() ? "" : "pub/program");
    profile.SetFileName(file);
    SaveProfileFile(profile, nullptr);
}

std::vector<std::string> Written(const std::string& Dir) {
    std::vector<std::string> files;
    for (const char* f : {"sitemap.html", "sitemap.xml", "smfolder.gif", "smfile.gif", "smimg.gif"})
        if (fs::exists(Dir + "/out-upload/" + f)) files.push_back(Dir + "/out-upload/" + f);
    return files;
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: upload_bench [--pages N (default 5000)] [--rounds R (default 5)] [--program PATH]\n"
    "  pathweaver -auto writing and uploading the site map of a generated tree to vsftpd on 127.0.0.1\n"
    "  (as root), against curl -T of the same files.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage, {"--pages", "--rounds", "--program"});
    int pages = 5000, rounds = 5;
    std::string program =
        (fs::canonical("/proc/self/exe").parent_path().parent_path() / "bin" / "pathweaver");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--pages")
            pages = std::atoi(argv[i + 1]);
        else if (a == "--rounds")
            rounds = std::atoi(argv[i + 1]);
        else if (a == "--program")
            program = argv[i + 1];
    }
    ftptest::Vsftpd server;
    if (!server.Running()) {
        std::fprintf(stderr, "upload_bench: vsftpd could not be started (it needs root)\n");
        return 1;
    }
    char pattern[] = "/tmp/pw-upload-bench-XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    int status = 0;
    try {
        // Three files in five of the tree are pages.
        bench::WriteFolderTree(dir + "/tree", pages * 5 / 3);
        const std::string config = dir + "/config";
        fs::create_directories(config + "/pathweaver");
        SetRegistryStoreFile(config + "/pathweaver/registry.dat");
        JDServerData s;
        s.ItemName = "Bench";
        s.HostName = "127.0.0.1";
        s.Port = server.Port();
        s.Username = "anonymous";
        s.PassiveMode = true;
        s.Timeout = 60;
        SaveServerProfiles({s});
        WriteProfile(dir + "/upload.qpw", dir + "/tree/index.html", dir + "/out-upload", "Bench");
        WriteProfile(dir + "/write.qpw", dir + "/tree/index.html", dir + "/out-write", "");
        const std::vector<std::string> env{"XDG_CONFIG_HOME=" + config,
                                           "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};
        std::vector<double> uploadSpan, writeSpan, curlTime, wholeRun;
        const std::string pub = server.AnonRoot() + "/pub";
        for (int r = 0; r < rounds; ++r) {
            fs::remove_all(pub + "/program");
            auto run =
                bench::RunTimed({program, "-auto", dir + "/upload.qpw"}, env, 600, dir + "/upload.log");
            double end = Now();
            if (run.status != 0 || !fs::exists(pub + "/program/sitemap.xml")) {
                std::fprintf(stderr, "upload_bench: the uploading run failed (see %s/upload.log)\n",
                             dir.c_str());
                status = 1;
                break;
            }
            uploadSpan.push_back(end - ModifiedAt(dir + "/upload.qpw"));
            wholeRun.push_back(run.seconds);
            run = bench::RunTimed({program, "-auto", dir + "/write.qpw"}, env, 600, dir + "/write.log");
            end = Now();
            writeSpan.push_back(end - ModifiedAt(dir + "/write.qpw"));

            fs::remove_all(pub + "/curl");
            // The files the program sent: the page, the sitemap and the images the page shows.
            std::string files;
            for (const std::string& f : Written(dir))
                files += (files.empty() ? "{" : ",") + f;
            files += "}";
            run = bench::RunTimed({"curl", "-sS", "--ftp-create-dirs", "-T", files,
                                   "ftp://127.0.0.1:" + server.PortText() + "/pub/curl/"},
                                  {}, 600, dir + "/curl.log");
            if (run.status != 0 || !fs::exists(pub + "/curl/sitemap.xml")) {
                std::fprintf(stderr, "upload_bench: curl failed (status %d): %s\n", run.status,
                             testsupport::ReadFile(dir + "/curl.log").c_str());
                status = 1;
                break;
            }
            curlTime.push_back(run.seconds);
        }
        if (status == 0) {
            uintmax_t bytes = 0;
            for (const std::string& f : Written(dir))
                bytes += fs::file_size(f);
            const double upload = Median(uploadSpan) - Median(writeSpan);
            const double curl = Median(curlTime);
            std::printf("site map of %d pages, %zu files of %ju bytes in all, %d rounds (medians)\n", pages,
                        Written(dir).size(), bytes, rounds);
            std::printf("  pathweaver -auto, whole run           %8.3f s\n", Median(wholeRun));
            std::printf("  pathweaver, saved profile to end      %8.3f s (uploading)\n", Median(uploadSpan));
            std::printf("  pathweaver, saved profile to end      %8.3f s (no upload)\n", Median(writeSpan));
            std::printf("  pathweaver upload part                %8.3f s\n", upload);
            std::printf("  curl -T of the same files             %8.3f s\n", curl);
            std::printf("  ratio upload part / curl              %8.2f (goal: 1.3 or less)\n", upload / curl);
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "upload_bench: %s\n", e.Message().c_str());
        status = 1;
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return status;
}
