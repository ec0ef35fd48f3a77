#pragma once
// JPEG images: the file's bytes, kept as loaded, and the decoded 24-bit bitmap drawn on canvases.
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/graphic.h"

class TBitmap;

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    std::string ClassName() const override { return "TJPEGImage"; }

    int Width() const override;
    int Height() const override;
    // EInvalidGraphicOperation: a JPEG image's size comes from its data.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool Empty() const override;

    // 1..100, used when the image is compressed again.
    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int value);

    // Decodes the data at once: EJPEG with libjpeg's message when it cannot.
    void LoadFromStream(TStream& stream) override;
    // The loaded bytes as they were, or the image compressed at CompressionQuality.
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* Source) override;
    // Compresses the bitmap now (after assigning a bitmap or changing the quality).
    void Compress();
    // The decoded image (empty bitmap when the image is empty).
    TBitmap& Bitmap();

protected:
    void Draw(TCanvas& canvas, const TRect& rect) override;
    void AssignTo(TPersistent* Dest) override;

private:
    // Takes the decoded image; drawing on it later drops the loaded bytes, so saving compresses anew.
    void Adopt(std::unique_ptr<TBitmap> bitmap);

    std::vector<uint8_t> data_;
    std::unique_ptr<TBitmap> bitmap_;
    int quality_ = 90;
};
