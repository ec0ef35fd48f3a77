// Inputs kept from fuzzing the component stream reader go through the fuzzing entry.
#include "platform/rtl/fuzz/component_reader_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(ComponentReaderFuzzReplay, KeptInputsReadOrFailCleanlyAndWriteBackStably) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(PW_SOURCE_DIR) + "/platform/rtl/fuzz/corpus", ec))
        files.push_back(entry.path());
    ASSERT_GE(files.size(), 5u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        EXPECT_TRUE(component_fuzz::ReadComponentInput(bytes.data(), bytes.size()));
        for (size_t n = 0; n < bytes.size(); n += 3)
            EXPECT_TRUE(component_fuzz::ReadComponentInput(bytes.data(), n));
    }
}
