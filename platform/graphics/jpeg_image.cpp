#include "platform/graphics/jpeg_image.h"

#include <algorithm>
#include <cstring>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/bmp_format.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/jpeg_codec.h"
#include "platform/rtl/stream.h"

using pw::graphics::JpegPixels;

TJPEGImage::TJPEGImage() {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    Adopt(std::move(bitmap));
}

void TJPEGImage::Adopt(std::unique_ptr<TBitmap> bitmap) {
    bitmap_ = std::move(bitmap);
    bitmap_->OnChange = [this](TObject*) { data_.clear(); };
}

TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const {
    return bitmap_->Width();
}

int TJPEGImage::Height() const {
    return bitmap_->Height();
}

void TJPEGImage::SetWidth(int) {
    throw EInvalidGraphicOperation(graphics_text::ChangeJpegSize);
}

void TJPEGImage::SetHeight(int) {
    throw EInvalidGraphicOperation(graphics_text::ChangeJpegSize);
}

bool TJPEGImage::Empty() const {
    return bitmap_->Empty();
}

void TJPEGImage::SetCompressionQuality(int value) {
    value = std::clamp(value, 1, 100);
    if (value == quality_) return;
    quality_ = value;
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    const int64_t available = stream.Size() - stream.Position();
    std::vector<uint8_t> data(static_cast<size_t>(std::max<int64_t>(available, 0)));
    if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    JpegPixels pixels;
    std::string error;
    if (!pw::graphics::DecodeJpeg(data.data(), data.size(), pw::graphics::kMaxDibDimension,
                                  pw::graphics::kMaxDibPixels, pixels, error))
        throw EJPEG(error);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(pixels.width, pixels.height);
    const size_t rowBytes = static_cast<size_t>(pixels.width) * 3;
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(bitmap->ScanLine(y), pixels.bgr.data() + rowBytes * y, rowBytes);
    Adopt(std::move(bitmap));
    data_ = std::move(data);
    Changed(this);
}

void TJPEGImage::Compress() {
    if (Empty()) {
        data_.clear();
        return;
    }
    JpegPixels pixels;
    pixels.width = bitmap_->Width();
    pixels.height = bitmap_->Height();
    const size_t rowBytes = static_cast<size_t>(pixels.width) * 3;
    pixels.bgr.resize(rowBytes * pixels.height);
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(pixels.bgr.data() + rowBytes * y, bitmap_->ScanLine(y), rowBytes);
    std::string error;
    std::vector<uint8_t> data;
    if (!pw::graphics::EncodeJpeg(pixels, quality_, data, error)) throw EJPEG(error);
    data_ = std::move(data);
}

void TJPEGImage::SaveToStream(TStream& stream) {
    if (data_.empty()) Compress();
    if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
        if (jpeg == this) return;
        bitmap_->Assign(jpeg->bitmap_.get());
        data_ = jpeg->data_;
        quality_ = jpeg->quality_;
        Changed(this);
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(graphic);
        bitmap->SetPixelFormat(pf24bit);
        Adopt(std::move(bitmap));
        data_.clear(); // compressed when saved
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

TBitmap& TJPEGImage::Bitmap() {
    return *bitmap_;
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        bitmap->Assign(bitmap_.get());
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
    canvas.StretchDraw(rect, bitmap_.get());
}
