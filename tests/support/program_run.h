#pragma once
// Programs run to their end from a test, with what they printed: the built program as cron runs it, and
// any command line (a validator, a client that asks the peer again).
#include <filesystem>
#include <string>

namespace testsupport {

struct RunResult {
    // The exit status; -1 when a signal ended the run or it could not be started.
    int status = -1;
    std::string output;
};

// Runs a shell command line to its end: what it writes on its standard output, and how it ended.
RunResult RunCommand(const std::string& command);

// Runs the built program (build/bin/pathweaver) with the shell words `args` as cron runs it: without a
// display (the toolkit's offscreen platform), without the caller's proxy, certificate and library
// variables, with its settings in `config` and no input. `environment` adds NAME=value words to its
// environment and may end with a command that starts it (prlimit ...). The output is what it writes on
// both streams, or with `errorsOnly` on standard error alone. A run still going after `limitSeconds` is
// stopped (status 124).
RunResult RunProgram(const std::filesystem::path& config, const std::string& args,
                     const std::string& environment = "", bool errorsOnly = false, int limitSeconds = 60);

} // namespace testsupport
