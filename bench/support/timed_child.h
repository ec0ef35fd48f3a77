#pragma once
// A program run as a child and timed from outside: wall time, processor time and peak resident size, as a
// user sees them.
#include <string>
#include <vector>

namespace bench {

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0; // user and system time of the child and what it waited for
    double peakMegabytes = 0;
    int status = -1;       // exit status; -1 when it did not start or was killed
    bool timedOut = false; // killed at the deadline
};

// Runs argv (argv[0] looked up on PATH) with the extra environment entries ("NAME=value"; "NAME=" removes
// NAME), its output sent to outputFile (or /dev/null when empty), killed with its process group after
// timeoutSeconds.
ChildRun RunTimed(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                  double timeoutSeconds, const std::string& outputFile = "");

} // namespace bench
