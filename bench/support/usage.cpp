#include "bench/support/usage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

void CheckArguments(int argc, char** argv, const char* Usage, std::initializer_list<std::string_view> Known) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(Usage, stdout);
            std::exit(0);
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a.size() < 2 || a[0] != '-' || std::find(Known.begin(), Known.end(), a) != Known.end()) continue;
        std::fprintf(stderr, "unknown option %s\n", std::string(a).c_str());
        std::fputs(Usage, stderr);
        std::exit(2);
    }
}

} // namespace bench
