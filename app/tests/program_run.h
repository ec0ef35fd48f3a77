#pragma once
// The built program run as cron runs it: a child process without a display, its output collected.
#include <filesystem>
#include <string>

namespace app_test {

struct RunResult {
    int status = -1;
    std::string output;
};

// Without a display; a run that would never end is stopped after a minute (status 124). `environment` adds
// NAME=value words to the program's environment; the output is what the program writes to both streams, or
// with `errorsOnly` to its standard error alone. `wrapper` is a command (with its words) that runs the rest.
RunResult RunProgram(const std::filesystem::path& config, const std::string& args,
                     const std::string& environment = "", bool errorsOnly = false,
                     const std::string& wrapper = "");

} // namespace app_test
