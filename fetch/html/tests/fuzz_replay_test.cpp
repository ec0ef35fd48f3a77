#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fetch/html/fuzz/fuzz_entries.h"

namespace {

void Replay(const char* folder, void (*entry)(const uint8_t*, size_t)) {
    std::filesystem::path dir = std::filesystem::path(PW_SOURCE_DIR) / "fetch/html/fuzz/corpus" / folder;
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int count = 0;
    for (const auto& entry_ : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry_.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        entry(bytes.data(), bytes.size());
        ++count;
    }
    EXPECT_GT(count, 0);
}

} // namespace

TEST(FuzzReplay, UriInputs) {
    Replay("uri", html_fuzz::UriInput);
}
TEST(FuzzReplay, ReaderInputs) {
    Replay("reader", html_fuzz::ReaderInput);
}
TEST(FuzzReplay, TokenizerInputs) {
    Replay("tokenizer", html_fuzz::TokenizerInput);
}
TEST(FuzzReplay, BinaryReaderInputs) {
    Replay("binary", html_fuzz::BinaryReaderInput);
}
