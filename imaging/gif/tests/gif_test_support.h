#pragma once
// Shared helpers of the GIF tests: building small streams by hand, collecting warnings, and
// decoding with the reference library when it is present.
#include "imaging/gif/gif_image.h"
#include "platform/rtl/stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gif_test {

std::vector<uint8_t> ReadFile(const std::string& path);
void Load(TGIFImage& image, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> Save(TGIFImage& image);

// Collects the warnings an image reports.
struct Warnings {
    std::vector<std::string> Messages;
    void Attach(TGIFImage& image);
};

// A minimal stream: header (2-colour global map unless colours == 0), then the given blocks.
std::vector<uint8_t> Header(int width, int height, int globalBits = 1);
// Image descriptor (no local map) followed by image data made of the given code size and
// sub-blocks of the packed codes.
std::vector<uint8_t> Frame(int left, int top, int width, int height, uint8_t flags, int codeSize,
                           const std::vector<int>& codes, const std::vector<int>& widths);
// Packs codes of the given widths LSB-first into sub-blocks with terminator.
std::vector<uint8_t> PackCodes(int codeSize, const std::vector<int>& codes, const std::vector<int>& widths);
void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more);

// Test pictures found on this machine: our generated set plus Go's, when installed.
std::vector<std::string> TestGifs();

struct RefFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    std::vector<uint8_t> Pixels;    // de-interlaced
    std::vector<uint32_t> LocalMap; // 0xRRGGBB
    int Disposal = -1, Delay = -1, TransparentIndex = -1;
};
struct RefImage {
    bool Ok = false;
    int Width = 0, Height = 0;
    std::vector<uint32_t> GlobalMap;
    std::vector<RefFrame> Frames;
};
bool HaveReference();
bool HaveImageMagick();
// ImageMagick's convert reads the bytes (a file with the given suffix), applies the options and
// answers the raw pixels of every resulting frame in the given format ("rgb", "rgba").
std::vector<std::vector<uint8_t>> ImageMagickFrames(const std::vector<uint8_t>& input,
                                                    const std::string& suffix, const std::string& options,
                                                    const std::string& format);
RefImage ReferenceDecode(const std::vector<uint8_t>& bytes);

} // namespace gif_test
