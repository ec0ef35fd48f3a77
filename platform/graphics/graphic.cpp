#include "platform/graphics/graphic.h"

#include <algorithm>
#include <typeinfo>

#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/picture.h"
#include "platform/rtl/atomic_file.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/stream.h"

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed(this);
}

void TGraphic::SetModified(bool value) {
    if (value)
        Changed(this);
    else
        modified_ = false;
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TAtomicFileStream stream(fileName);
    SaveToStream(stream);
    stream.Commit();
}

void TGraphic::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
    throw EInvalidGraphic(graphics_text::UnknownClipboardFormat);
}

void TGraphic::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphic(graphics_text::UnknownClipboardFormat);
}

bool TGraphic::Equals(TGraphic* graphic) {
    if (!graphic) return false;
    if (graphic == this) return true;
    const TGraphic& other = *graphic;
    if (typeid(other) != typeid(*this) || Empty() != graphic->Empty()) return false;
    if (Empty()) return true;
    TMemoryStream a, b;
    SaveToStream(a);
    graphic->SaveToStream(b);
    return a.Size() == b.Size() && std::equal(a.Memory(), a.Memory() + a.Size(), b.Memory());
}

void TGraphic::DefineProperties(TFiler& Filer) {
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& Stream) { LoadFromStream(Stream); },
        [this](TStream& Stream) { SaveToStream(Stream); }, !Empty());
}

void TGraphic::Changed(TObject*) {
    modified_ = true;
    contentStamp_ = NewContentStamp();
    if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, BYTE percentDone, bool redrawNow,
                        const TRect& r, const std::string& msg) {
    if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

std::unique_ptr<TGraphic> TGraphic::NewOfSameClass() const {
    for (const TFileFormat& format : TPicture::FileFormats()) {
        std::unique_ptr<TGraphic> candidate = format.graphicClass();
        if (!candidate) continue;
        const TGraphic& made = *candidate;
        if (typeid(made) == typeid(*this)) return candidate;
    }
    return nullptr;
}
