#pragma once
// Base of every block of a GIF stream: it belongs to one image and reports warnings through it.
#include "platform/rtl/object.h"

#include <string>

class TGIFImage;
class TStream;

class TGIFItem : public TObject {
public:
    explicit TGIFItem(TGIFImage* image) : image_(image) {}
    std::string ClassName() const override { return "TGIFItem"; }

    TGIFImage* Image() const { return image_; }
    // 1 = "87a", 2 = "89a": the lowest version able to hold this block.
    virtual int GetVersion() const { return 1; }
    virtual void Warning(int severity, const std::string& message);
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    void SaveToFile(const std::string& fileName);
    void LoadFromFile(const std::string& fileName);

private:
    TGIFImage* image_;
};

// The one-byte end of a GIF stream.
class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    std::string ClassName() const override { return "TGIFTrailer"; }
    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
};
