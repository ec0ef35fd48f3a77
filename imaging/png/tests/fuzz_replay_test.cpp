// Every input kept from fuzzing, and every test image, goes through the fuzzing entry again.
#include "imaging/png/fuzz/load_png_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

TEST(PngFuzzReplay, KeptInputsLoadWithoutFault) {
    size_t replayed = 0;
    for (const fs::path& dir :
         {fs::path(PW_SOURCE_DIR) / "imaging/png/fuzz/corpus", fs::path(PW_TEST_DATA_DIR) / "data"})
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
            SCOPED_TRACE(entry.path().string());
            LoadPngInput(bytes.data(), bytes.size());
            ++replayed;
        }
    EXPECT_GT(replayed, 40u);
}
