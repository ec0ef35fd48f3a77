// Writes the profile of the bundled sample site: a .qpw holds absolute paths, so it is made where the
// sample lies. Usage: make_sample_profile <sample folder> <profile file> <output folder>
#include <iostream>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "platform/rtl/exception.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_sample_profile <sample folder> <profile file> <output folder>\n";
        return 2;
    }
    const std::string sample = argv[1];
    const std::string output = argv[3];
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstLocal);
    profile.SetIndexPage(sample + "/site/index.html");
    profile.SetWebsite("http://www.meadowbrook.example/");
    profile.SetOutputFileName(output + "/sitemap.html");
    profile.SetMakeGoogleSM(true);
    profile.SetFileName(argv[2]);
    try {
        SaveProfileFile(profile, nullptr);
    } catch (const Exception& e) {
        std::cerr << "make_sample_profile: " << e.Message() << '\n';
        return 1;
    }
    return 0;
}
