#include "imaging/gif/extensions.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_io.h"
#include "imaging/gif/sub_image.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <cstring>

namespace {

struct LabelEntry {
    uint8_t Label;
    TGIFExtensionClass Class;
};
// Searched from the last entry, so a later registration of a label wins.
constexpr LabelEntry kLabels[] = {
    {0x01, TGIFExtensionClass::Text},
    {0xF9, TGIFExtensionClass::GraphicControl},
    {0xFE, TGIFExtensionClass::Comment},
    {0xFF, TGIFExtensionClass::Application},
};

struct AppEntry {
    const char* Identifier; // 11 bytes
    TGIFExtensionClass Class;
};
constexpr AppEntry kApplications[] = {
    {"NETSCAPE2.0", TGIFExtensionClass::NSLoop},
    {"ANIMEXTS1.0", TGIFExtensionClass::NSLoop},
};

TGIFExtensionClass ClassForLabel(uint8_t label) {
    for (int i = static_cast<int>(std::size(kLabels)) - 1; i >= 0; --i)
        if (kLabels[i].Label == label) return kLabels[i].Class;
    return TGIFExtensionClass::None;
}

TGIFExtensionClass ClassForIdentifier(const uint8_t* ident) {
    for (int i = static_cast<int>(std::size(kApplications)) - 1; i >= 0; --i)
        if (std::memcmp(kApplications[i].Identifier, ident, 11) == 0) return kApplications[i].Class;
    return TGIFExtensionClass::UnknownApp;
}

bool IsApplicationClass(TGIFExtensionClass cls) {
    return cls == TGIFExtensionClass::Application || cls == TGIFExtensionClass::UnknownApp ||
           cls == TGIFExtensionClass::NSLoop;
}

// Positioned after the label of an application extension: which class reads it. Blocks larger
// than 11 bytes are kept as unknown application data.
TGIFExtensionClass FindApplicationClass(TStream& stream) {
    int64_t start = stream.Position();
    TGIFExtensionClass result = TGIFExtensionClass::Application;
    std::optional<uint8_t> size = gif::ReadByte(stream);
    uint8_t ident[11];
    if (size && *size >= 10 && stream.Read(ident, std::min<int>(*size, 11)) == std::min<int>(*size, 11)) {
        if (*size == 11)
            result = ClassForIdentifier(ident);
        else
            result = TGIFExtensionClass::UnknownApp;
    }
    stream.SetPosition(start);
    return result;
}

} // namespace

TGIFExtensionClass FindExtensionClass(TStream& stream) {
    int64_t start = stream.Position();
    uint8_t intro[2];
    TGIFExtensionClass cls = TGIFExtensionClass::None;
    if (stream.Read(intro, 2) == 2) {
        cls = ClassForLabel(intro[1]);
        // Each application class answers again until one answers itself.
        if (IsApplicationClass(cls)) {
            for (;;) {
                TGIFExtensionClass next = FindApplicationClass(stream);
                if (next == cls) break;
                cls = next;
            }
        }
    }
    stream.SetPosition(start);
    return cls;
}

std::unique_ptr<TGIFExtension> CreateExtension(TGIFExtensionClass cls, TGIFSubImage* subImage) {
    switch (cls) {
    case TGIFExtensionClass::GraphicControl:
        return std::make_unique<TGIFGraphicControlExtension>(subImage);
    case TGIFExtensionClass::Text:
        return std::make_unique<TGIFTextExtension>(subImage);
    case TGIFExtensionClass::Comment:
        return std::make_unique<TGIFCommentExtension>(subImage);
    case TGIFExtensionClass::Application:
        return std::make_unique<TGIFApplicationExtension>(subImage);
    case TGIFExtensionClass::UnknownApp:
        return std::make_unique<TGIFUnknownAppExtension>(subImage);
    case TGIFExtensionClass::NSLoop:
        return std::make_unique<TGIFAppExtNSLoop>(subImage);
    case TGIFExtensionClass::None:
        break;
    }
    return nullptr;
}

TGIFExtension::TGIFExtension(TGIFSubImage* subImage)
    : TGIFItem(subImage ? subImage->Image() : nullptr), subImage_(subImage) {}

void TGIFExtension::LoadFromStream(TStream& stream) {
    uint8_t intro[2];
    gif::ReadCheck(stream, intro, 2);
    if (intro[0] != 0x21) throw GIFException(gif_text::BadExtensionIntroducer);
    if (intro[1] != GetExtensionType()) throw GIFException(gif_text::ExtensionMismatch);
}

void TGIFExtension::SaveToStream(TStream& stream) {
    uint8_t intro[2] = {0x21, GetExtensionType()};
    stream.WriteBuffer(intro, 2);
}

// Graphic control

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* subImage) : TGIFExtension(subImage) {
    if (subImage && !subImage->GraphicControlExtension()) subImage->SetGraphicControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
    TGIFSubImage* frame = SubImage();
    if (!frame) return;
    if (Transparent()) frame->SetTransparentFlag(false);
    if (frame->GraphicControlExtension() == this) frame->SetGraphicControlExtension(nullptr);
}

void TGIFGraphicControlExtension::SetTransparent(bool value) {
    flags_ = value ? (flags_ | 1) : (flags_ & ~1);
    if (SubImage()) SubImage()->SetTransparentFlag(value);
}

void TGIFGraphicControlExtension::SetUserInput(bool value) {
    flags_ = value ? (flags_ | 2) : (flags_ & ~2);
}

void TGIFGraphicControlExtension::SetDisposal(int value) {
    flags_ = static_cast<uint8_t>((flags_ & ~0x1C) | ((value & 7) << 2));
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int value) {
    if (SubImage()) {
        TGIFColorMap& map = SubImage()->ActiveColorMap();
        if (map.Count() > 0 && (value < 0 || value >= map.Count())) {
            Warning(1, gif_text::InvalidColorIndex);
            value = 0;
        }
    }
    transparentColorIndex_ = static_cast<uint8_t>(value);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t rec[6];
    if (stream.Read(rec, 6) < 6) {
        Warning(1, gif_text::PrematureEnd);
        return;
    }
    blockSize_ = rec[0];
    flags_ = rec[1];
    delay_ = gif::ReadWord(rec + 2);
    transparentColorIndex_ = rec[4];
    terminator_ = rec[5];
    if (Transparent() && SubImage()) SubImage()->SetTransparentFlag(true);
}

void TGIFGraphicControlExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    uint8_t rec[6] = {blockSize_, flags_, 0, 0, transparentColorIndex_, terminator_};
    gif::PutWord(rec + 2, delay_);
    stream.WriteBuffer(rec, 6);
}

// Text

void TGIFTextExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t rec[13];
    gif::ReadCheck(stream, rec, 13);
    blockSize_ = rec[0];
    Left = gif::ReadWord(rec + 1);
    Top = gif::ReadWord(rec + 3);
    Width = gif::ReadWord(rec + 5);
    Height = gif::ReadWord(rec + 7);
    CellWidth = rec[9];
    CellHeight = rec[10];
    TextColorIndex = rec[11];
    BackgroundColorIndex = rec[12];
    gif::ReadStrings(stream, Text);
}

void TGIFTextExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    uint8_t rec[13] = {blockSize_};
    gif::PutWord(rec + 1, Left);
    gif::PutWord(rec + 3, Top);
    gif::PutWord(rec + 5, Width);
    gif::PutWord(rec + 7, Height);
    rec[9] = CellWidth;
    rec[10] = CellHeight;
    rec[11] = TextColorIndex;
    rec[12] = BackgroundColorIndex;
    stream.WriteBuffer(rec, 13);
    gif::WriteStrings(stream, Text);
}

// Comment

void TGIFCommentExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    gif::ReadStrings(stream, Text);
}

void TGIFCommentExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    gif::WriteStrings(stream, Text);
}

// Application

std::string TGIFApplicationExtension::Identifier() const {
    return std::string(reinterpret_cast<const char*>(ident_.data()), 8);
}

std::string TGIFApplicationExtension::Authentication() const {
    return std::string(reinterpret_cast<const char*>(ident_.data()) + 8, 3);
}

void TGIFApplicationExtension::SetIdentifier(const std::string& identifierAndCode) {
    ident_.fill(0);
    blockSize_ = 11;
    extra_.clear();
    std::memcpy(ident_.data(), identifierAndCode.data(), std::min<size_t>(11, identifierAndCode.size()));
}

void TGIFApplicationExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    uint8_t size = 0;
    gif::ReadCheck(stream, &size, 1);
    if (size < 10) throw GIFException(gif_text::BadAppBlockSize);
    gif::ReadCheck(stream, ident_.data(), 11);
    blockSize_ = size;
    extra_.clear();
    if (size == 10) {
        stream.Seek(-1, soCurrent);
        ident_[10] = 0;
    } else if (size > 11) {
        extra_.resize(size - 11);
        gif::ReadCheck(stream, extra_.data(), static_cast<int64_t>(extra_.size()));
    }
    LoadData(stream);
}

void TGIFApplicationExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    gif::WriteByte(stream, blockSize_);
    stream.WriteBuffer(ident_.data(), blockSize_ == 10 ? 10 : 11);
    if (!extra_.empty()) stream.WriteBuffer(extra_.data(), static_cast<int64_t>(extra_.size()));
    SaveData(stream);
}

void TGIFUnknownAppExtension::LoadData(TStream& stream) {
    Blocks.clear();
    for (;;) {
        std::optional<uint8_t> n = gif::ReadByte(stream);
        if (!n || *n == 0) return;
        TGIFBlock block;
        block.Data.resize(*n);
        gif::ReadCheck(stream, block.Data.data(), *n);
        Blocks.push_back(std::move(block));
    }
}

void TGIFUnknownAppExtension::SaveData(TStream& stream) {
    for (const TGIFBlock& block : Blocks) {
        size_t n = std::min<size_t>(block.Data.size(), 255);
        if (n == 0) continue;
        gif::WriteByte(stream, static_cast<uint8_t>(n));
        stream.WriteBuffer(block.Data.data(), static_cast<int64_t>(n));
    }
    gif::WriteByte(stream, 0);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* subImage) : TGIFApplicationExtension(subImage) {
    SetIdentifier("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::LoadData(TStream& stream) {
    for (;;) {
        std::optional<uint8_t> n = gif::ReadByte(stream);
        if (!n || *n == 0) return;
        uint8_t block[255];
        gif::ReadCheck(stream, block, *n);
        int id = block[0] & 7;
        if (id == 1) {
            if (*n < 3) throw GIFException(gif_text::InvalidData);
            Loops = gif::ReadWord(block + 1);
        } else if (id == 2) {
            if (*n < 5) throw GIFException(gif_text::InvalidData);
            BufferSize = static_cast<uint32_t>(block[1] | (block[2] << 8) | (block[3] << 16)) |
                         (static_cast<uint32_t>(block[4]) << 24);
        }
    }
}

void TGIFAppExtNSLoop::SaveData(TStream& stream) {
    uint8_t loop[4] = {3, 1, 0, 0};
    gif::PutWord(loop + 2, Loops);
    stream.WriteBuffer(loop, 4);
    if (BufferSize != 0) {
        uint8_t buf[6] = {5,
                          2,
                          static_cast<uint8_t>(BufferSize),
                          static_cast<uint8_t>(BufferSize >> 8),
                          static_cast<uint8_t>(BufferSize >> 16),
                          static_cast<uint8_t>(BufferSize >> 24)};
        stream.WriteBuffer(buf, 6);
    }
    gif::WriteByte(stream, 0);
}

// List

int TGIFExtensionList::Add(std::unique_ptr<TGIFExtension> item) {
    items_.push_back(std::move(item));
    return Count() - 1;
}

void TGIFExtensionList::Delete(int index) {
    std::unique_ptr<TGIFExtension> item = std::move(items_[index]);
    items_.erase(items_.begin() + index);
}

void TGIFExtensionList::DeleteItem(TGIFExtension* item) {
    for (int i = 0; i < Count(); ++i)
        if (items_[i].get() == item) {
            Delete(i);
            return;
        }
}

void TGIFExtensionList::Clear() {
    while (!items_.empty())
        Delete(0);
}

void TGIFExtensionList::LoadFromStream(TStream& stream) {
    std::optional<uint8_t> b = gif::ReadByte(stream);
    if (!b) return;
    while (*b != 0x2C && *b != 0x3B) {
        if (*b != 0x21) {
            if (subImage_) subImage_->Warning(1, gif_text::BadExtensionIntroducer);
            break;
        }
        stream.Seek(-1, soCurrent);
        TGIFExtensionClass cls = FindExtensionClass(stream);
        if (cls == TGIFExtensionClass::None) throw GIFException(gif_text::UnknownExtension);
        std::unique_ptr<TGIFExtension> ext = CreateExtension(cls, subImage_);
        ext->LoadFromStream(stream);
        Add(std::move(ext));
        b = gif::ReadByte(stream);
        if (!b) return;
    }
    stream.Seek(-1, soCurrent);
}

void TGIFExtensionList::SaveToStream(TStream& stream) {
    for (auto& item : items_)
        item->SaveToStream(stream);
}
