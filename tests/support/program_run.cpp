#include "tests/support/program_run.h"

#include <sys/wait.h>

#include <cstdio>

namespace testsupport {

RunResult RunCommand(const std::string& command) {
    RunResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

RunResult RunProgram(const std::filesystem::path& config, const std::string& args,
                     const std::string& environment, bool errorsOnly, int limitSeconds) {
    // The limit goes first, so that a command in `environment` starts the program itself, not the timer.
    std::string command =
        "timeout -k 10 " + std::to_string(limitSeconds) + " env -u DISPLAY -u WAYLAND_DISPLAY";
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy",
                             "NO_PROXY", "SSL_CERT_FILE", "SSL_CERT_DIR", "LD_LIBRARY_PATH", "PW_STUB_CURL"})
        command += std::string(" -u ") + name;
    command += " XDG_CONFIG_HOME='" + config.string() + "' QT_QPA_PLATFORM=offscreen " + environment + " '" +
               PW_PROGRAM_FILE + "' " + args + (errorsOnly ? " 2>&1 >/dev/null" : " 2>&1") + " </dev/null";
    return RunCommand(command);
}

} // namespace testsupport
