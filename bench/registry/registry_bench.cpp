// Loads a store whose one key holds 25,000 to 200,000 values through the
// registry, and prints the time of each load and the time per value: a linear reader keeps the time
// per value flat as the key grows. Run by hand: registry_bench [largest count].
#include "bench/support/usage.h"
#include "platform/rtl/registry.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds to open the store at path and read the last value of key Many.
double loadSeconds(const std::string& path, int count) {
    SetRegistryStoreFile(path);
    const auto start = Clock::now();
    TRegistry reg;
    const bool found =
        reg.OpenKeyReadOnly("Many") && reg.ReadString("value" + std::to_string(count - 1)) == "x";
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!found) std::fprintf(stderr, "the last value was not found\n");
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, "Usage: registry_bench [largest count]\n");
    const int largest = argc > 1 ? std::atoi(argv[1]) : 200000;
    testsupport::TempDir dir("pw-registry-bench");
    std::printf("%10s %12s %14s\n", "values", "load (s)", "per value (us)");
    for (int count = 25000; count <= largest; count *= 2) {
        std::string text = "PathweaverRegistry 1\nK :Many\n";
        for (int i = 0; i < count; ++i)
            text += "V :value" + std::to_string(i) + " sz :x\n";
        const std::string path = dir.File("store" + std::to_string(count) + ".dat");
        testsupport::WriteFile(path, text);
        const double seconds = loadSeconds(path, count);
        std::printf("%10d %12.3f %14.2f\n", count, seconds, seconds * 1e6 / count);
    }
    SetRegistryStoreFile("");
    return 0;
}
