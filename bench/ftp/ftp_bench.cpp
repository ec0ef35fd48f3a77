// Uploads one large file and many small ones to a local vsftpd through the FTP client (the GUI-thread
// message loop included), then the same with curl -T and lftp, and prints the times and the ratios to
// curl. Run by hand, as root (vsftpd): ftp_bench [large MiB] [small files] [small KiB].
#include "bench/support/usage.h"
#include "ftp/ftp_client.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/qt/gui_application.h"
#include "tests/support/loopback_port.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs one request of the client to its end; false unless it ended without an error.
bool run(TFtpClient& client, void (TCustomFtpCli::*operation)()) {
    bool done = false;
    WORD error = 0;
    client.OnRequestDone = [&](TObject*, TFtpRequest, WORD e) {
        done = true;
        error = e;
    };
    try {
        (client.*operation)();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return false;
    }
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE_, 50, QS_ALLINPUT);
        ProcessMessages();
    }
    if (error) std::fprintf(stderr, "request failed: %d %s\n", error, client.ErrorMessage().c_str());
    return error == 0;
}

double timeCommand(const std::string& command) {
    const auto start = Clock::now();
    const int rc = std::system(command.c_str());
    const double t = secondsSince(start);
    if (rc != 0) std::fprintf(stderr, "failed (%d): %s\n", rc, command.c_str());
    return t;
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: ftp_bench [large MiB (default 256)] [small files (default 1000)] [small KiB (default 10)]\n"
    "  Uploads one large file and many small ones to a local vsftpd (as root) through the FTP client,\n"
    "  then with curl -T and lftp, and prints the times and the ratios to curl.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage);
    const int largeMiB = argc > 1 ? std::atoi(argv[1]) : 256;
    const int smallCount = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int smallKiB = argc > 3 ? std::atoi(argv[3]) : 10;
    if (::geteuid() != 0) {
        std::fprintf(stderr, "vsftpd runs only as root\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pw::gui::GuiApplication app(argc, argv);

    char pattern[] = "/tmp/pw-ftp-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    ::chmod(dir.c_str(), 0755);
    fs::create_directories(dir + "/anon/pub");
    fs::create_directories(dir + "/empty");
    fs::create_directories(dir + "/local/small");
    ::chmod((dir + "/anon").c_str(), 0755);
    ::chmod((dir + "/anon/pub").c_str(), 0777);
    for (const char* sub : {"ours", "curl", "lftp"}) {
        fs::create_directories(dir + "/anon/pub/" + sub);
        ::chmod((dir + "/anon/pub/" + sub).c_str(), 0777);
    }
    {
        std::ofstream big(dir + "/local/large.bin", std::ios::binary);
        std::string chunk(1 << 20, '\0');
        for (size_t i = 0; i < chunk.size(); ++i)
            chunk[i] = static_cast<char>(i * 7);
        for (int i = 0; i < largeMiB; ++i)
            big << chunk;
    }
    std::vector<std::string> names;
    const std::string smallContent(static_cast<size_t>(smallKiB) * 1024, 's');
    for (int i = 0; i < smallCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%05d.txt", i);
        names.push_back(name);
        std::ofstream(dir + "/local/small/" + name) << smallContent;
    }
    const int port = testsupport::FreePort();
    std::ofstream(dir + "/vsftpd.conf")
        << "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" << port
        << "\nbackground=NO\nanonymous_enable=YES\nno_anon_password=YES\nanon_root=" << dir
        << "/anon\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
           "write_enable=YES\nseccomp_sandbox=NO\nsecure_chroot_dir="
        << dir << "/empty\npasv_enable=YES\nxferlog_enable=NO\nlocal_enable=NO\n";
    const pid_t vsftpd = ::fork();
    if (vsftpd == 0) {
        ::execl("/usr/sbin/vsftpd", "vsftpd", (dir + "/vsftpd.conf").c_str(), nullptr);
        ::_exit(127);
    }
    if (!testsupport::WaitForPort(port)) {
        std::fprintf(stderr, "vsftpd did not start\n");
        return 1;
    }
    const std::string url = "ftp://127.0.0.1:" + std::to_string(port) + "/pub/";

    // Ours: one session, binary, passive.
    TFtpClient client(nullptr);
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(port);
    client.UserName = "anonymous";
    client.PassWord = "bench@";
    client.SetPassive(true);
    client.HostDirName = "pub/ours";
    run(client, &TCustomFtpCli::SeqLogin);
    run(client, &TCustomFtpCli::StepCwd);
    run(client, &TCustomFtpCli::SetBinaryAndType);
    double cpu = cpuSeconds();
    auto start = Clock::now();
    client.SetLocalFileName(dir + "/local/large.bin");
    client.HostFileName = "large.bin";
    run(client, &TCustomFtpCli::SeqStore);
    const double oursLarge = secondsSince(start);
    const double oursLargeCpu = cpuSeconds() - cpu;
    cpu = cpuSeconds();
    start = Clock::now();
    for (const std::string& name : names) {
        client.SetLocalFileName(dir + "/local/small/" + name);
        client.HostFileName = name;
        if (!run(client, &TCustomFtpCli::SeqStore)) break;
    }
    const double oursSmall = secondsSince(start);
    const double oursSmallCpu = cpuSeconds() - cpu;
    run(client, &TCustomFtpCli::StepQuit);
    if (fs::file_size(dir + "/anon/pub/ours/large.bin") != fs::file_size(dir + "/local/large.bin"))
        std::fprintf(stderr, "our large upload is incomplete\n");

    // curl: one process, one connection for the small files.
    const double curlLarge =
        timeCommand("curl -s -S -T " + dir + "/local/large.bin " + url + "curl/large.bin");
    std::string glob;
    for (const std::string& name : names)
        glob += (glob.empty() ? "" : ",") + name;
    const double curlSmall =
        timeCommand("cd " + dir + "/local/small && curl -s -S -T '{" + glob + "}' " + url + "curl/");

    // lftp.
    const std::string lftp = "lftp -u anonymous,bench@ -e 'set ftp:passive-mode on; set net:max-retries 1; ";
    const double lftpLarge =
        timeCommand(lftp + "put " + dir + "/local/large.bin -o pub/lftp/large.bin; bye' 127.0.0.1:" +
                    std::to_string(port) + " >/dev/null");
    const double lftpSmall =
        timeCommand(lftp + "mput -O pub/lftp " + dir +
                    "/local/small/*; bye' 127.0.0.1:" + std::to_string(port) + " >/dev/null");

    std::printf("%-28s %10s %10s %10s %12s %12s\n", "upload to vsftpd", "ours s", "curl s", "lftp s",
                "ours/curl", "ours CPU s");
    std::printf("%-28s %10.3f %10.3f %10.3f %12.2f %12.3f\n",
                (std::to_string(largeMiB) + " MiB, one file").c_str(), oursLarge, curlLarge, lftpLarge,
                oursLarge / curlLarge, oursLargeCpu);
    std::printf("%-28s %10.3f %10.3f %10.3f %12.2f %12.3f\n",
                (std::to_string(smallCount) + " x " + std::to_string(smallKiB) + " KiB").c_str(), oursSmall,
                curlSmall, lftpSmall, oursSmall / curlSmall, oursSmallCpu);

    ::kill(vsftpd, SIGTERM);
    int status = 0;
    ::waitpid(vsftpd, &status, 0);
    fs::remove_all(dir);
    return 0;
}
