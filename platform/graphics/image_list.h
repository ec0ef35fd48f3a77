#pragma once
// A list of equally sized images, each with an optional mask, drawn normally, transparently, on a
// background colour or greyed out for disabled controls.
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/content_stamp.h"
#include "platform/graphics/graphics_types.h"
#include "platform/rtl/component.h"

class TBitmap;
class TCanvas;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

class TCustomImageList;

// One listener of an image list's changes; several may listen to one list, each through its own link.
class TChangeLink : public TObject {
public:
    TChangeLink() = default;
    // Leaves the list it listens to.
    ~TChangeLink() override;
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;
    std::string ClassName() const override { return "TChangeLink"; }

    TCustomImageList* Sender() const { return sender_; }
    void SetSender(TCustomImageList* Value) { sender_ = Value; }
    virtual void Change();

    TNotifyEvent OnChange;

private:
    TCustomImageList* sender_ = nullptr;
};
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    // A list of the given image size (16 x 16 by default).
    TCustomImageList(int width, int height, TComponent* AOwner = nullptr);
    ~TCustomImageList() override;
    std::string ClassName() const override { return "TCustomImageList"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size clears the list.
    void SetWidth(int value);
    void SetHeight(int value);
    int Count() const { return static_cast<int>(images_.size()); }
    // clNone: masked images are drawn transparently; any other colour fills their transparent part.
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor value);
    TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(TColor value) { blendColor_ = value; }
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle value);
    TImageType ImageType() const { return imageType_; }
    void SetImageType(TImageType value);
    // Without masks every image is drawn opaque. Changing it clears the list.
    bool Masked() const { return masked_; }
    void SetMasked(bool value);

    // Adds one image per Width-wide strip of image (at least one); mask white = transparent, none = opaque.
    // Returns the index of the first image added.
    int Add(TBitmap* image, TBitmap* mask);
    // The mask is made from the pixels of maskColor.
    int AddMasked(TBitmap* image, TColor maskColor);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void Delete(int index);
    void Clear();

    // An index outside the list draws nothing (Replace and Delete raise EInvalidOperation "Invalid
    // ImageList Index"). dsFocus and dsSelected draw as dsNormal.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);
    void Draw(TCanvas& canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
              bool enabled = true);
    // The image drawn on a white bitmap of the list's size.
    void GetBitmap(int index, TBitmap* image);

    // A link hears every change from then on, until it is unregistered or freed.
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    TNotifyEvent OnChange;
    // Renewed at every change of the list's images or of how they are drawn.
    uint64_t ContentStamp() const { return contentStamp_; }

protected:
    virtual void Change();

private:
    struct Entry;
    Entry& At(int index);
    std::unique_ptr<Entry> MakeEntry(TBitmap* image, TBitmap* mask, int column, TColor maskColor,
                                     bool byColor);
    void DrawEnabled(HDC dc, int x, int y, Entry& entry, TDrawingStyle style, TImageType type);
    void DrawDisabled(HDC dc, int x, int y, Entry& entry);

    int width_ = 16;
    int height_ = 16;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    TDrawingStyle drawingStyle_ = dsNormal;
    TImageType imageType_ = itImage;
    bool masked_ = true;
    std::vector<std::unique_ptr<Entry>> images_;
    std::vector<TChangeLink*> links_;
    uint64_t contentStamp_ = NewContentStamp();
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    std::string ClassName() const override { return "TImageList"; }
};
