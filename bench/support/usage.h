#pragma once
// The command line of a benchmark: --help answered, and no option ever taken for a folder, a file, a
// number or an address.
#include <initializer_list>
#include <string_view>

namespace bench {

// "--help" or "-h" anywhere prints Usage on stdout and ends the program with status 0. Any other
// argument that begins with "-" and is not one of Known (the options the program reads itself) prints
// what is wrong and Usage on stderr and ends it with status 2.
void CheckArguments(int argc, char** argv, const char* Usage,
                    std::initializer_list<std::string_view> Known = {});

} // namespace bench
