#include "imaging/gif/sub_image.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/gif_io.h"
#include "imaging/gif/lzw_decoder.h"
#include "imaging/gif/lzw_encoder.h"
#include "imaging/gif/rle_encoder.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <cstring>

TGIFSubImage::TGIFSubImage(TGIFImage* image) : TGIFItem(image), colorMap_(this), extensions_(this) {}

TGIFSubImage::~TGIFSubImage() {
    // Extensions refer back to this frame while they are destroyed.
    extensions_.Clear();
}

RECT TGIFSubImage::BoundsRect() const {
    return RECT{left_, top_, left_ + width_, top_ + height_};
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height) {
    if (left < 0 || top < 0 || width < 0 || height < 0 || left + width > 0xFFFF || top + height > 0xFFFF ||
        static_cast<int64_t>(width) * height > kMaxFramePixels)
        throw GIFException(gif_text::BadDimensions);
    if (width != width_ || height != height_) {
        FreeBitmap();
        data_.assign(static_cast<size_t>(width) * height, 0);
    }
    left_ = static_cast<uint16_t>(left);
    top_ = static_cast<uint16_t>(top);
    width_ = static_cast<uint16_t>(width);
    height_ = static_cast<uint16_t>(height);
    TGIFImage* image = Image();
    if (!image) return;
    bool warned = false;
    TGIFHeader& header = image->Header();
    if (header.Width() < left + width) {
        if (header.Width() > 0) {
            Warning(1, gif_text::WidthTooSmall);
            warned = true;
        }
        header.SetWidth(static_cast<uint16_t>(left + width));
    }
    if (header.Height() < top + height) {
        if (header.Height() > 0) {
            Warning(1, gif_text::HeightTooSmall);
            warned = true;
        }
        header.SetHeight(static_cast<uint16_t>(top + height));
    }
    if (warned) Warning(1, gif_text::ExceedsScreen);
}

TGIFColorMap& TGIFSubImage::ActiveColorMap() {
    if (colorMap_.Count() > 0 || !Image()) return colorMap_;
    TGIFColorMap& global = Image()->Header().ColorMap();
    return global.Count() > 0 ? global : static_cast<TGIFColorMap&>(colorMap_);
}

TGIFRGB TGIFSubImage::ColorOf(int index) {
    return ActiveColorMap().Entry(index);
}

bool TGIFSubImage::Empty() const {
    return data_.empty() || width_ == 0 || height_ == 0;
}

void TGIFSubImage::NewImage() {
    FreeBitmap();
    data_.assign(static_cast<size_t>(width_) * height_, 0);
}

void TGIFSubImage::NeedImage() {
    if (data_.size() != static_cast<size_t>(width_) * height_) NewImage();
    if (data_.empty()) throw GIFException(gif_text::ImageEmpty);
}

uint8_t* TGIFSubImage::ScanLine(int row) {
    if (row < 0 || row >= height_) throw GIFException(gif_text::BadPixelCoordinates);
    NeedImage();
    return data_.data() + static_cast<size_t>(row) * width_;
}

uint8_t TGIFSubImage::Pixels(int x, int y) {
    if (x < 0 || x >= width_) throw GIFException(gif_text::BadPixelCoordinates);
    return ScanLine(y)[x];
}

void TGIFSubImage::SetPixels(int x, int y, uint8_t value) {
    if (x < 0 || x >= width_) throw GIFException(gif_text::BadPixelCoordinates);
    FreeBitmap();
    ScanLine(y)[x] = value;
}

int TGIFSubImage::TransparentIndex() const {
    return transparent_ && gce_ ? gce_->TransparentColorIndex() : -1;
}

int TGIFSubImage::GetVersion() const {
    if (colorMap_.Optimized()) return 2;
    int version = 1;
    for (int i = 0; i < extensions_.Count() && version < 2; ++i)
        version = std::max(version, extensions_[i]->GetVersion());
    return version;
}

void TGIFSubImage::Clear() {
    FreeBitmap();
    extensions_.Clear();
    colorMap_.Clear();
    data_.clear();
    data_.shrink_to_fit();
    left_ = top_ = width_ = height_ = 0;
    transparent_ = false;
    gce_ = nullptr;
}

void TGIFSubImage::LoadFromStream(TStream& stream) {
    LoadFrame(stream, Image() ? Image()->PixelCount() : 0);
}

void TGIFSubImage::LoadFrame(TStream& stream, int64_t pixelsSoFar) {
    Clear();
    extensions_.LoadFromStream(stream);
    std::optional<uint8_t> next = gif::ReadByte(stream);
    if (!next) return;
    stream.Seek(-1, soCurrent);
    if (*next == 0x3B || *next == 0) return;
    uint8_t d[10];
    gif::ReadCheck(stream, d, 10);
    int left = gif::ReadWord(d + 1), top = gif::ReadWord(d + 3);
    int width = gif::ReadWord(d + 5), height = gif::ReadWord(d + 7);
    flags_ = d[9];
    if (width == 0 || height == 0) {
        width = Image() ? Image()->Header().Width() : 0;
        height = Image() ? Image()->Header().Height() : 0;
        Warning(1, gif_text::ExceedsScreen);
    }
    int64_t pixels = static_cast<int64_t>(width) * height;
    if (pixelsSoFar + pixels > kMaxImagePixels) throw GIFException(gif_text::BadDimensions);
    SetBounds(left, top, width, height);
    if (flags_ & 0x80) {
        colorMap_.LoadFromStream(stream, 2 << (flags_ & 7));
        colorMap_.SetOptimized((flags_ & 0x20) != 0);
    }
    DecodeData(stream);
}

void TGIFSubImage::DecodeData(TStream& stream) {
    FreeBitmap();
    int fill = TransparentIndex();
    std::fill(data_.begin(), data_.end(), static_cast<uint8_t>(fill < 0 ? 0 : fill));
    gif::DecodeTarget target{data_.data(), width_, height_, Interlaced()};
    gif::DecodeLZW(stream, target, [this](const std::string& text) { Warning(1, text); });
}

void TGIFSubImage::SaveToStream(TStream& stream) {
    extensions_.SaveToStream(stream);
    if (Empty()) return;
    int bits = colorMap_.BitsPerPixel();
    if (colorMap_.Count() > 0)
        flags_ = static_cast<uint8_t>(0x80 | (colorMap_.Optimized() ? 0x20 : 0) | ((bits - 1) & 7));
    else
        flags_ &= 0x58;
    uint8_t d[10] = {0x2C};
    gif::PutWord(d + 1, left_);
    gif::PutWord(d + 3, top_);
    gif::PutWord(d + 5, width_);
    gif::PutWord(d + 7, height_);
    d[9] = flags_;
    stream.WriteBuffer(d, 10);
    if (colorMap_.Count() > 0) colorMap_.SaveToStream(stream, bits);
    EncodeData(stream);
}

void TGIFSubImage::EncodeData(TStream& stream) {
    int bits, maxColor;
    if (colorMap_.Count() > 0) {
        bits = colorMap_.BitsPerPixel();
        maxColor = colorMap_.Count();
    } else {
        bits = Image() ? Image()->GetBitsPerPixel() : 8;
        maxColor = 1 << bits;
    }
    TGIFWarning warning;
    if (Image())
        warning = [image = Image()](TObject* sender, int severity, const std::string& text) {
            image->Warning(sender, severity, text);
        };
    if (Image() && Image()->Compression() == gcRLE) {
        TRLEEncoder encoder;
        encoder.OnWarning = warning;
        encoder.Encode(stream, bits, maxColor, data_.data(), Interlaced(), height_, width_);
    } else {
        TLZWEncoder encoder;
        encoder.OnWarning = warning;
        encoder.Encode(stream, bits, maxColor, data_.data(), Interlaced(), height_, width_);
    }
}

void TGIFSubImage::Assign(const TGIFSubImage& source) {
    if (&source == this) return;
    Clear();
    if (!source.Empty()) {
        SetBounds(source.left_, source.top_, source.width_, source.height_);
        flags_ = source.flags_;
        data_ = source.data_;
        colorMap_.Assign(source.colorMap_);
    }
    if (source.extensions_.Count() > 0) {
        TMemoryStream buffer;
        const_cast<TGIFExtensionList&>(source.extensions_).SaveToStream(buffer);
        gif::WriteByte(buffer, 0x2C);
        buffer.SetPosition(0);
        extensions_.LoadFromStream(buffer);
    }
    transparent_ = source.transparent_ && gce_ && gce_->Transparent();
}

// Frame list

int TGIFImageList::Add(std::unique_ptr<TGIFSubImage> item) {
    items_.push_back(std::move(item));
    return Count() - 1;
}

void TGIFImageList::Delete(int index) {
    std::unique_ptr<TGIFSubImage> item = std::move(items_[index]);
    items_.erase(items_.begin() + index);
}

void TGIFImageList::Clear() {
    while (!items_.empty())
        Delete(0);
}

namespace {
// Skips zero bytes; answers the next other byte, or nothing at the end of the stream.
std::optional<uint8_t> NextBlockByte(TStream& stream) {
    for (;;) {
        std::optional<uint8_t> b = gif::ReadByte(stream);
        if (!b || *b != 0) return b;
    }
}
} // namespace

void TGIFImageList::LoadFromStream(TStream& stream) {
    int64_t pixels = image_ ? image_->PixelCount() : 0;
    std::optional<uint8_t> b = NextBlockByte(stream);
    if (!b) return;
    while (*b != 0x3B) {
        stream.Seek(-1, soCurrent);
        if (*b != 0x21 && *b != 0x2C) {
            if (image_) image_->Warning(nullptr, 1, gif_text::UnknownBlock);
            stream.Seek(-1, soCurrent);
            return;
        }
        auto frame = std::make_unique<TGIFSubImage>(image_);
        frame->LoadFrame(stream, pixels);
        pixels += frame->DataSize();
        Add(std::move(frame));
        if (image_) {
            int64_t size = stream.Size();
            int percent = size > 0 ? static_cast<int>(stream.Position() * 100 / size) : 0;
            image_->Progress(TGIFProgressStage::Running, percent, RedrawWhileLoading, gif_text::Loading);
        }
        b = NextBlockByte(stream);
        if (!b) return;
    }
    stream.Seek(-1, soCurrent);
}

void TGIFImageList::SaveToStream(TStream& stream) {
    for (int i = 0; i < Count(); ++i) {
        items_[i]->SaveToStream(stream);
        if (image_)
            image_->Progress(TGIFProgressStage::Running, (i + 1) * 100 / Count(), false, gif_text::Saving);
    }
}
