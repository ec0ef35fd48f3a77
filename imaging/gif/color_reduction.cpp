#include "imaging/gif/color_reduction.h"

#include <algorithm>

// Octree

struct TColorQuantizer::Node {
    bool IsLeaf = false;
    uint32_t PixelCount = 0;
    uint64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
    Node* Next = nullptr;
    std::unique_ptr<Node> Children[8];
};

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(std::max(1, maxColors)), colorBits_(std::clamp(colorBits, 1, 8)) {}

TColorQuantizer::~TColorQuantizer() = default;

TColorQuantizer::Node* TColorQuantizer::NewNode(int level) {
    auto* node = new Node;
    if (level == colorBits_) {
        node->IsLeaf = true;
        ++leafCount_;
    } else {
        node->Next = reducible_[level];
        reducible_[level] = node;
    }
    return node;
}

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
    if (!tree_) tree_.reset(NewNode(0));
    Node* node = tree_.get();
    for (int level = 0;; ++level) {
        if (node->IsLeaf) {
            ++node->PixelCount;
            node->RedSum += red;
            node->GreenSum += green;
            node->BlueSum += blue;
            return;
        }
        int shift = 7 - level;
        int index = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
        if (!node->Children[index]) node->Children[index].reset(NewNode(level + 1));
        node = node->Children[index].get();
    }
}

bool TColorQuantizer::ReduceTree() {
    int level = colorBits_ - 1;
    while (level > 0 && !reducible_[level])
        --level;
    Node* node = reducible_[level];
    if (!node) return false;
    reducible_[level] = node->Next;
    int children = 0;
    for (auto& child : node->Children) {
        if (!child) continue;
        node->RedSum += child->RedSum;
        node->GreenSum += child->GreenSum;
        node->BlueSum += child->BlueSum;
        node->PixelCount += child->PixelCount;
        child.reset();
        ++children;
    }
    node->IsLeaf = true;
    leafCount_ -= children - 1;
    return true;
}

void TColorQuantizer::ProcessImage(const TRaster& source24) {
    for (int y = 0; y < source24.Height; ++y) {
        const uint8_t* p = source24.Bits.data() + static_cast<size_t>(y) * source24.RowBytes();
        for (int x = 0; x < source24.Width; ++x, p += 3) {
            AddColor(p[2], p[1], p[0]);
            while (leafCount_ > maxColors_ && ReduceTree()) {
            }
        }
    }
}

std::vector<COLORREF> TColorQuantizer::GetColorTable() const {
    std::vector<COLORREF> table;
    // Depth first, children in index order.
    std::vector<const Node*> stack;
    if (tree_) stack.push_back(tree_.get());
    while (!stack.empty()) {
        const Node* node = stack.back();
        stack.pop_back();
        if (node->IsLeaf) {
            if (node->PixelCount == 0)
                table.push_back(0);
            else
                table.push_back(RGB(static_cast<BYTE>(node->RedSum / node->PixelCount),
                                    static_cast<BYTE>(node->GreenSum / node->PixelCount),
                                    static_cast<BYTE>(node->BlueSum / node->PixelCount)));
            continue;
        }
        for (int i = 7; i >= 0; --i)
            if (node->Children[i]) stack.push_back(node->Children[i].get());
    }
    return table;
}

// Palettes

std::vector<COLORREF> SystemStaticColors() {
    return {RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),
            RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192),
            RGB(192, 220, 192), RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164),
            RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
            RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
}

std::vector<COLORREF> BuildWebPalette() {
    std::vector<COLORREF> p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(
                    RGB(static_cast<BYTE>(51 * r), static_cast<BYTE>(51 * g), static_cast<BYTE>(51 * b)));
    return p;
}

std::vector<COLORREF> BuildGray256Palette() {
    std::vector<COLORREF> p;
    for (int i = 0; i < 256; ++i)
        p.push_back(RGB(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i)));
    return p;
}

std::vector<COLORREF> BuildGray4Palette() {
    return {RGB(0, 0, 0), RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 255, 255)};
}

std::vector<COLORREF> BuildMonochromePalette() {
    return {RGB(0, 0, 0), RGB(255, 255, 255)};
}

// Without a palette-based screen: the static colours around the colour cube.
std::vector<COLORREF> BuildHalftonePalette() {
    std::vector<COLORREF> fixed = SystemStaticColors();
    std::vector<COLORREF> p(fixed.begin(), fixed.begin() + 10);
    std::vector<COLORREF> cube = BuildWebPalette();
    p.insert(p.end(), cube.begin(), cube.end());
    p.insert(p.end(), fixed.begin() + 10, fixed.end());
    return p;
}

std::vector<COLORREF> BuildOctreePalette(const TRaster& source24, int colors, int colorBits,
                                         bool withStaticColors) {
    colors = std::clamp(colors, 1, 256);
    const int quantized = withStaticColors ? std::max(1, colors - 20) : colors;
    TColorQuantizer quantizer(quantized, colorBits);
    quantizer.ProcessImage(source24);
    std::vector<COLORREF> table = quantizer.GetColorTable();
    // Entries the tree did not fill repeat the first one, so a lookup never prefers them.
    COLORREF filler = table.empty() ? 0 : table[0];
    table.resize(quantized, filler);
    if (!withStaticColors) return table;
    std::vector<COLORREF> fixed = SystemStaticColors();
    std::vector<COLORREF> p(fixed.begin(), fixed.begin() + 10);
    p.insert(p.end(), table.begin(), table.end());
    p.insert(p.end(), fixed.begin() + 10, fixed.end());
    return p;
}

TRaster ToRaster24(const TRaster& source) {
    if (source.BitsPerPixel == 24 || source.Empty()) return source;
    TRaster out;
    out.Width = source.Width;
    out.Height = source.Height;
    out.BitsPerPixel = 24;
    out.Bits.resize(static_cast<size_t>(source.Width) * source.Height * 3);
    for (size_t i = 0; i < static_cast<size_t>(source.Width) * source.Height; ++i) {
        uint8_t index = source.Bits[i];
        COLORREF c = index < source.Palette.size() ? source.Palette[index] : 0;
        out.Bits[i * 3] = GetBValue(c);
        out.Bits[i * 3 + 1] = GetGValue(c);
        out.Bits[i * 3 + 2] = GetRValue(c);
    }
    return out;
}

TRaster ReduceBitmapColors(const TRaster& source, TColorReductionMethod method, TDitherMethod ditherMode,
                           int reductionBits, const std::vector<COLORREF>& customPalette) {
    TRaster result;
    if (source.Empty()) return result;
    // Read from a 24-bit copy: the caller's picture stays as it was.
    const TRaster src = ToRaster24(source);
    if (method == crNone) return src;
    reductionBits = std::clamp(reductionBits, 1, 8);
    std::vector<COLORREF> palette;
    std::unique_ptr<TColorLookup> lookup;
    switch (method) {
    case crWindows20:
        palette = SystemStaticColors();
        break;
    case crWindowsHalftone:
        palette = BuildHalftonePalette();
        break;
    case crGray4:
        palette = BuildGray4Palette();
        break;
    case crMonochrome:
        palette = BuildMonochromePalette();
        lookup = std::make_unique<TMonochromeLookup>();
        break;
    case crGray256:
        palette = BuildGray256Palette();
        lookup = std::make_unique<TGrayScaleLookup>();
        break;
    case crWeb216:
        palette = BuildWebPalette();
        lookup = std::make_unique<TNetscapeColorLookup>();
        break;
    case crOctree:
        palette = BuildOctreePalette(src, 1 << reductionBits, 8, false);
        break;
    case crOctreeWindows:
        palette = BuildOctreePalette(src, 256, 8, true);
        break;
    case crCustomPalette:
        palette.assign(customPalette.begin(),
                       customPalette.begin() + std::min<size_t>(customPalette.size(), 256));
        break;
    default:
        return result;
    }
    if (!lookup) lookup = std::make_unique<TFastColorLookup>(palette);
    if (lookup->Colors() == 0) return result;
    std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(ditherMode, src.Width, *lookup);
    if (!ditherer) return result;
    result.Width = src.Width;
    result.Height = src.Height;
    result.BitsPerPixel = 8;
    result.Palette = palette;
    result.Bits.assign(static_cast<size_t>(src.Width) * src.Height, 0);
    for (int y = 0; y < src.Height; ++y) {
        const uint8_t* in = src.Bits.data() + static_cast<size_t>(y) * src.RowBytes();
        uint8_t* out = result.Bits.data() + static_cast<size_t>(y) * src.Width;
        while (ditherer->Column() >= 0 && ditherer->Column() < src.Width) {
            int x = ditherer->Column();
            uint8_t r, g, b;
            out[x] = static_cast<uint8_t>(ditherer->Dither(in[x * 3 + 2], in[x * 3 + 1], in[x * 3], r, g, b));
        }
        ditherer->NextLine();
    }
    return result;
}
