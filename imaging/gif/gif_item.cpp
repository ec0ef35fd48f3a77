#include "imaging/gif/gif_item.h"

#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/gif_io.h"
#include "platform/rtl/file_stream.h"

void TGIFItem::Warning(int severity, const std::string& message) {
    if (image_) image_->Warning(this, severity, message);
}

void TGIFItem::SaveToFile(const std::string& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TGIFItem::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGIFTrailer::SaveToStream(TStream& stream) {
    gif::WriteByte(stream, 0x3B);
}

void TGIFTrailer::LoadFromStream(TStream& stream) {
    std::optional<uint8_t> b = gif::ReadByte(stream);
    if (b && *b != 0x3B) Warning(1, gif_text::BadTrailer);
}
