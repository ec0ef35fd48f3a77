// Inputs kept from fuzzing (and the test pictures themselves) go through the fuzzing entry.
#include "imaging/gif/fuzz/fuzz_entry.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(GifFuzzReplay, KeptInputsLoadOrFailCleanly) {
    std::vector<std::string> files = gif_test::TestGifs();
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(PW_SOURCE_DIR) + "/imaging/gif/fuzz/corpus", ec))
        files.push_back(entry.path().string());
    ASSERT_GT(files.size(), 10u);
    for (const std::string& file : files) {
        std::vector<uint8_t> bytes = gif_test::ReadFile(file);
        SCOPED_TRACE(file);
        gif::FuzzLoadFromBytes(bytes.data(), bytes.size());
        // Every prefix of a small input too: truncation anywhere must fail cleanly.
        if (bytes.size() <= 4096)
            for (size_t n = 0; n < bytes.size(); n += 7)
                gif::FuzzLoadFromBytes(bytes.data(), n);
    }
}
