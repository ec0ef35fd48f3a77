#pragma once
// Shared helpers of the GIF tests: streams built by hand, frames and animations made in code, and
// decoding with the reference library and ImageMagick when they are present.
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/extensions.h"
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/sub_image.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/wintypes.h"
#include "tests/support/thrown_message.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gif_test {

using Bytes = std::vector<uint8_t>;

std::string DataFile(const std::string& name); // a file of the tests' data folder
Bytes ReadFile(const std::string& path);
void Load(TGIFImage& image, const Bytes& bytes);
// Loads and answers the warnings the image reported.
std::vector<std::string> LoadWarnings(TGIFImage& image, const Bytes& bytes);
Bytes Save(TGIFImage& image);
Bytes Pixels(const TGIFSubImage& frame);

// A 24-bit picture of the given blue, green, red bytes.
TRaster Raster24(int w, int h, const Bytes& bgr);

using testsupport::ThrownMessage;
std::string LoadError(const Bytes& bytes);

// A minimal stream: header with a global map of 2^globalBits colours (none for 0).
Bytes Header(int width, int height, int globalBits = 1);
// Image descriptor (no local map) followed by image data of the given code size, the codes packed
// LSB-first at the given widths into sub-blocks with terminator.
Bytes Frame(int left, int top, int width, int height, uint8_t flags, int codeSize,
            const std::vector<int>& codes, const std::vector<int>& widths);
Bytes PackCodes(int codeSize, const std::vector<int>& codes, const std::vector<int>& widths);
void Append(Bytes& out, const Bytes& more);

// A frame of its own colour table and pixels, with a graphic control extension when disposal >= 0
// or transparent >= 0.
TGIFSubImage* AddFrame(TGIFImage& image, int left, int top, int w, int h, const std::vector<COLORREF>& map,
                       const Bytes& pixels, int transparent = -1, int disposal = -1, int delay = 0);

struct FramePlan {
    COLORREF Color = 0;
    int Delay = 10; // hundredths of a second
    int Disposal = 1;
    RECT Bounds{0, 0, 0, 0}; // empty: the whole screen
    // Pixels (relative to Bounds) shown as the transparent index; empty rect: none.
    RECT Hole{0, 0, 0, 0};
};
// Solid-colour frames on a width x height screen; loops < 0 writes no loop extension. The image went
// through a save and a load, as a file would.
std::unique_ptr<TGIFImage> MakeAnimation(int width, int height, const std::vector<FramePlan>& frames,
                                         int loops = -1);

// Test pictures found on this machine: our generated set plus Go's, when installed.
std::vector<std::string> TestGifs();

struct RefFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    Bytes Pixels;                   // de-interlaced
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
RefImage ReferenceDecode(const Bytes& bytes);
bool HaveImageMagick();
// ImageMagick's convert reads the bytes (a file with the given suffix), applies the options and
// answers the raw pixels of every resulting frame in the given format ("rgb", "rgba").
std::vector<Bytes> ImageMagickFrames(const Bytes& input, const std::string& suffix,
                                     const std::string& options, const std::string& format);

} // namespace gif_test
