#include "program_run.h"

#include <sys/wait.h>

#include <cstdio>

namespace app_test {

RunResult RunProgram(const std::filesystem::path& config, const std::string& args,
                     const std::string& environment, bool errorsOnly, const std::string& wrapper) {
    const std::string command = wrapper + " env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='" +
                                config.string() + "' QT_QPA_PLATFORM=offscreen " + environment +
                                " timeout 60 '" PW_PROGRAM "' " + args +
                                (errorsOnly ? " 2>&1 >/dev/null" : " 2>&1") + " </dev/null";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace app_test
