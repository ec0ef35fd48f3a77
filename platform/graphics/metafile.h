#pragma once
// A metafile: a picture recorded as drawing steps in its own coordinates, with its size, played onto a
// canvas stretched into any rectangle. Only what its steps cover is drawn; the rest of the rectangle keeps
// what was there, which is what makes a metafile transparent. The steps are recorded through its own
// calls and stored in a small format of this program's ("PWMF").
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/graphic.h"
#include "platform/graphics/graphics_types.h"

enum class TMetafileStep : uint8_t { FillRect = 1, Ellipse = 2, Line = 3 };

struct TMetafileRecord {
    TMetafileStep Step = TMetafileStep::FillRect;
    // The rectangle filled, the ellipse's box, or a line from the top-left to the bottom-right corner.
    TRect Bounds;
    COLORREF Pen = 0;   // outline or line
    COLORREF Brush = 0; // fill
    friend bool operator==(const TMetafileRecord&, const TMetafileRecord&) = default;
};

class TMetafile : public TGraphic {
public:
    std::string ClassName() const override { return "TMetafile"; }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The steps stay where they are; only the picture's frame changes.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    // A metafile without steps draws nothing.
    bool Empty() const override { return records_.empty(); }
    bool Transparent() const override { return true; }

    const std::vector<TMetafileRecord>& Records() const { return records_; }
    void Clear();
    void FillRect(const TRect& rect, TColor color);
    void Ellipse(const TRect& box, TColor pen, TColor brush);
    void Line(TPoint from, TPoint to, TColor color);

    // EInvalidGraphic "Metafile is not valid" for data not written by SaveToStream.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* Source) override;

protected:
    void Draw(TCanvas& canvas, const TRect& rect) override;

private:
    void Add(const TMetafileRecord& record);

    int width_ = 0;
    int height_ = 0;
    std::vector<TMetafileRecord> records_;
};
