#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/graphics/fuzz/load_image_input.h"

// Every kept input of the fuzz target goes through the same entry; a crash or an exception other than
// EInvalidGraphic fails here.
TEST(GraphicsFuzzReplay, KeptInputsLoadOrFailCleanly) {
    const std::filesystem::path corpus = std::filesystem::path(PW_TEST_DATA_DIR) / ".." / "fuzz" / "corpus";
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_NO_THROW(LoadImageInput(data.data(), data.size()));
        ++replayed;
    }
    EXPECT_GE(replayed, 10);
}
