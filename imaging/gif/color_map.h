#pragma once
// Colour tables of a GIF stream: the global one of the header and the local one of a frame.
#include "platform/rtl/object.h"
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <string>
#include <vector>

class TGIFHeader;
class TGIFSubImage;
class TStream;

struct TGIFRGB {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
};
static_assert(sizeof(TGIFRGB) == 3, "colour tables are read and written as packed triples");

// How often a colour is used; Optimize sorts these.
struct TGIFUsage {
    int Count = 0;
    int Index = 0;
};

class TGIFColorMap : public TObject {
public:
    std::string ClassName() const override { return "TGIFColorMap"; }

    int Count() const { return count_; }
    int Capacity() const { return static_cast<int>(colors_.size()); }
    bool Optimized() const { return optimized_; }
    void SetOptimized(bool value) { optimized_ = value; }

    // Red in the low byte. An index outside the map warns and answers colour 0.
    COLORREF Colors(int index);
    void SetColors(int index, COLORREF color);
    const TGIFRGB* Data() const { return colors_.data(); }
    // Colour without warnings; out-of-range indices read as colour 0 (black when the map is empty).
    TGIFRGB Entry(int index) const;

    int Add(COLORREF color);
    int AddUnique(COLORREF color);
    int IndexOf(COLORREF color) const;
    void Delete(int index);
    void Clear();
    // Entries of 4 bytes: blue, green, red, reserved.
    void ImportColorTable(const uint8_t* table, int count);
    // The palette's colours in its order, at most 256.
    void ImportPalette(HPALETTE palette);
    // The colour table of the indexed bitmap selected into the device context (none for another).
    void ImportDIBColors(HDC dc);
    // A new palette of the colours in order, each not to be collapsed; the caller owns it. Null for an
    // empty map.
    HPALETTE ExportPalette() const;
    // 0 for an empty map, else the smallest b >= 1 with 2^b >= Count.
    int BitsPerPixel() const;
    void Assign(const TGIFColorMap& source);

    void LoadFromStream(TStream& stream, int count);
    // Writes the colours padded with black up to 2^bits entries.
    void SaveToStream(TStream& stream, int bits) const;

    virtual void Warning(int severity, const std::string& message) = 0;
    // Fills counts[i] = {uses of colour i, i}.
    virtual void BuildHistogram(std::vector<TGIFUsage>& counts) = 0;
    virtual void MapImages(const uint8_t* translation) = 0;
    virtual void Changed() = 0;
    // Sorts by use and drops unused colours; answers whether it ran.
    bool Optimize();

protected:
    void Grow(int needed);
    void Reorder(const std::vector<TGIFUsage>& sorted);

private:
    std::vector<TGIFRGB> colors_;
    int count_ = 0;
    bool optimized_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFHeader* header) : header_(header) {}
    std::string ClassName() const override { return "TGIFGlobalColorMap"; }
    TGIFHeader* Header() const { return header_; }
    void Warning(int severity, const std::string& message) override;
    void BuildHistogram(std::vector<TGIFUsage>& counts) override;
    void MapImages(const uint8_t* translation) override;
    void Changed() override;

private:
    TGIFHeader* header_;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* subImage) : subImage_(subImage) {}
    std::string ClassName() const override { return "TGIFLocalColorMap"; }
    TGIFSubImage* SubImage() const { return subImage_; }
    void Warning(int severity, const std::string& message) override;
    void BuildHistogram(std::vector<TGIFUsage>& counts) override;
    void MapImages(const uint8_t* translation) override;
    void Changed() override;

private:
    TGIFSubImage* subImage_;
};
