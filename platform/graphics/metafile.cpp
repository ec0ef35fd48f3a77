#include "platform/graphics/metafile.h"

#include <array>
#include <cstring>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bmp_format.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/rtl/stream.h"

namespace {

using pw::graphics::Get32;

constexpr char kSignature[4] = {'P', 'W', 'M', 'F'};
constexpr int kMaxSide = 1 << 15;
constexpr size_t kRecordBytes = 1 + 4 * 4 + 2 * 4;

[[noreturn]] void InvalidMetafile() {
    throw EInvalidGraphic(graphics_text::InvalidMetafile);
}

void Append32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

void TMetafile::SetWidth(int value) {
    if (value == width_) return;
    width_ = value;
    Changed(this);
}

void TMetafile::SetHeight(int value) {
    if (value == height_) return;
    height_ = value;
    Changed(this);
}

void TMetafile::Clear() {
    records_.clear();
    width_ = height_ = 0;
    Changed(this);
}

void TMetafile::Add(const TMetafileRecord& record) {
    records_.push_back(record);
    Changed(this);
}

void TMetafile::FillRect(const TRect& rect, TColor color) {
    Add({TMetafileStep::FillRect, rect, 0, ColorToRGB(color)});
}

void TMetafile::Ellipse(const TRect& box, TColor pen, TColor brush) {
    Add({TMetafileStep::Ellipse, box, ColorToRGB(pen), ColorToRGB(brush)});
}

void TMetafile::Line(TPoint from, TPoint to, TColor color) {
    Add({TMetafileStep::Line, TRect{from.x, from.y, to.x, to.y}, ColorToRGB(color), 0});
}

void TMetafile::SaveToStream(TStream& stream) {
    std::vector<uint8_t> out(kSignature, kSignature + 4);
    Append32(out, static_cast<uint32_t>(width_));
    Append32(out, static_cast<uint32_t>(height_));
    Append32(out, static_cast<uint32_t>(records_.size()));
    for (const TMetafileRecord& r : records_) {
        out.push_back(static_cast<uint8_t>(r.Step));
        for (LONG v : {r.Bounds.left, r.Bounds.top, r.Bounds.right, r.Bounds.bottom})
            Append32(out, static_cast<uint32_t>(v));
        Append32(out, r.Pen);
        Append32(out, r.Brush);
    }
    stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void TMetafile::LoadFromStream(TStream& stream) {
    uint8_t head[16];
    if (stream.Read(head, sizeof head) != sizeof head || std::memcmp(head, kSignature, 4) != 0)
        InvalidMetafile();
    const uint32_t width = Get32(head + 4), height = Get32(head + 8), count = Get32(head + 12);
    const int64_t left = stream.Size() - stream.Position();
    if (width > kMaxSide || height > kMaxSide ||
        static_cast<int64_t>(count) * static_cast<int64_t>(kRecordBytes) > left)
        InvalidMetafile();
    std::vector<uint8_t> body(count * kRecordBytes);
    stream.ReadBuffer(body.data(), static_cast<int64_t>(body.size()));
    std::vector<TMetafileRecord> records;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = body.data() + i * kRecordBytes;
        if (p[0] < static_cast<uint8_t>(TMetafileStep::FillRect) ||
            p[0] > static_cast<uint8_t>(TMetafileStep::Line))
            InvalidMetafile();
        TMetafileRecord r;
        r.Step = static_cast<TMetafileStep>(p[0]);
        r.Bounds = TRect{static_cast<LONG>(Get32(p + 1)), static_cast<LONG>(Get32(p + 5)),
                         static_cast<LONG>(Get32(p + 9)), static_cast<LONG>(Get32(p + 13))};
        r.Pen = Get32(p + 17);
        r.Brush = Get32(p + 21);
        records.push_back(r);
    }
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    records_ = std::move(records);
    Changed(this);
}

void TMetafile::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TMetafile*>(Source)) {
        if (other == this) return;
        width_ = other->width_;
        height_ = other->height_;
        records_ = other->records_;
        Changed(this);
        return;
    }
    if (!Source) {
        Clear();
        return;
    }
    TGraphic::Assign(Source);
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
    if (records_.empty() || width_ <= 0 || height_ <= 0) return;
    HDC dc = canvas.Handle();
    const pw::gdi::SavedDC saved(dc);
    auto x = [&](LONG v) { return rect.left + MulDiv(v, rect.Width(), width_); };
    auto y = [&](LONG v) { return rect.top + MulDiv(v, rect.Height(), height_); };
    for (const TMetafileRecord& r : records_) {
        const RECT at{x(r.Bounds.left), y(r.Bounds.top), x(r.Bounds.right), y(r.Bounds.bottom)};
        const pw::gdi::OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, r.Pen));
        const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(r.Brush));
        switch (r.Step) {
        case TMetafileStep::FillRect:
            ::FillRect(dc, &at, brush.Get());
            break;
        case TMetafileStep::Ellipse: {
            const pw::gdi::SelectedObject selectedPen(dc, pen.Get()), selectedBrush(dc, brush.Get());
            ::Ellipse(dc, at.left, at.top, at.right, at.bottom);
            break;
        }
        case TMetafileStep::Line: {
            const pw::gdi::SelectedObject selectedPen(dc, pen.Get());
            MoveToEx(dc, at.left, at.top, nullptr);
            LineTo(dc, at.right, at.bottom);
            break;
        }
        }
    }
}
