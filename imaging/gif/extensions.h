#pragma once
// The extension blocks that precede a frame: graphic control, plain text, comment and application
// (unknown ones kept as read, and the animation loop count).
#include "imaging/gif/gif_item.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGIFSubImage;

// The classes an extension block can be loaded as; the registries answer these.
enum class TGIFExtensionClass { None, GraphicControl, Text, Comment, Application, UnknownApp, NSLoop };

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* subImage);
    std::string ClassName() const override { return "TGIFExtension"; }
    TGIFSubImage* SubImage() const { return subImage_; }
    int GetVersion() const override { return 2; }
    virtual uint8_t GetExtensionType() const = 0;
    virtual TGIFExtensionClass Class() const = 0;
    // Reads and checks the introducer and label.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

private:
    TGIFSubImage* subImage_;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    explicit TGIFGraphicControlExtension(TGIFSubImage* subImage);
    ~TGIFGraphicControlExtension() override;
    std::string ClassName() const override { return "TGIFGraphicControlExtension"; }
    uint8_t GetExtensionType() const override { return 0xF9; }
    TGIFExtensionClass Class() const override { return TGIFExtensionClass::GraphicControl; }

    bool Transparent() const { return (flags_ & 1) != 0; }
    void SetTransparent(bool value);
    bool UserInput() const { return (flags_ & 2) != 0; }
    void SetUserInput(bool value);
    int Disposal() const { return (flags_ >> 2) & 7; }
    void SetDisposal(int value);
    uint16_t Delay() const { return delay_; }
    void SetDelay(uint16_t value) { delay_ = value; }
    uint8_t TransparentColorIndex() const { return transparentColorIndex_; }
    // An index outside the frame's active map warns and stores 0.
    void SetTransparentColorIndex(int value);
    // Stores the index as is (remapping by the colour-table optimisation).
    void RemapTransparentColorIndex(uint8_t value) { transparentColorIndex_ = value; }

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

private:
    uint8_t blockSize_ = 4;
    uint8_t flags_ = 0;
    uint16_t delay_ = 0;
    uint8_t transparentColorIndex_ = 0;
    uint8_t terminator_ = 0;
};

class TGIFTextExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    std::string ClassName() const override { return "TGIFTextExtension"; }
    uint8_t GetExtensionType() const override { return 0x01; }
    TGIFExtensionClass Class() const override { return TGIFExtensionClass::Text; }
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
    uint8_t CellWidth = 0, CellHeight = 0, TextColorIndex = 0, BackgroundColorIndex = 0;
    std::vector<std::string> Text;

private:
    uint8_t blockSize_ = 12;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    std::string ClassName() const override { return "TGIFCommentExtension"; }
    uint8_t GetExtensionType() const override { return 0xFE; }
    TGIFExtensionClass Class() const override { return TGIFExtensionClass::Comment; }
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    std::vector<std::string> Text;
};

class TGIFApplicationExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    std::string ClassName() const override { return "TGIFApplicationExtension"; }
    uint8_t GetExtensionType() const override { return 0xFF; }
    TGIFExtensionClass Class() const override { return TGIFExtensionClass::Application; }
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    std::string Identifier() const;     // 8 bytes
    std::string Authentication() const; // 3 bytes
    void SetIdentifier(const std::string& identifierAndCode);

protected:
    virtual void LoadData(TStream&) {}
    virtual void SaveData(TStream&) {}

private:
    std::array<uint8_t, 11> ident_{};
    // Blocks of 10 bytes (a short identifier) and above 11 are written back as they came.
    uint8_t blockSize_ = 11;
    std::vector<uint8_t> extra_;
};

struct TGIFBlock {
    std::vector<uint8_t> Data; // at most 255 bytes
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;
    std::string ClassName() const override { return "TGIFUnknownAppExtension"; }
    TGIFExtensionClass Class() const override { return TGIFExtensionClass::UnknownApp; }
    std::vector<TGIFBlock> Blocks;

protected:
    void LoadData(TStream& stream) override;
    void SaveData(TStream& stream) override;
};

class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage* subImage);
    std::string ClassName() const override { return "TGIFAppExtNSLoop"; }
    TGIFExtensionClass Class() const override { return TGIFExtensionClass::NSLoop; }
    uint16_t Loops = 0; // 0 = endless
    uint32_t BufferSize = 0;

protected:
    void LoadData(TStream& stream) override;
    void SaveData(TStream& stream) override;
};

// Which class loads the extension at the stream's position; the position is kept.
TGIFExtensionClass FindExtensionClass(TStream& stream);
std::unique_ptr<TGIFExtension> CreateExtension(TGIFExtensionClass cls, TGIFSubImage* subImage);

// The extensions that precede one frame, in stream order.
class TGIFExtensionList {
public:
    explicit TGIFExtensionList(TGIFSubImage* subImage) : subImage_(subImage) {}
    int Count() const { return static_cast<int>(items_.size()); }
    TGIFExtension* operator[](int index) const { return items_[index].get(); }
    int Add(std::unique_ptr<TGIFExtension> item);
    void Delete(int index);
    // Frees the given extension when it is in the list.
    void DeleteItem(TGIFExtension* item);
    void Clear();
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

private:
    TGIFSubImage* subImage_;
    std::vector<std::unique_ptr<TGIFExtension>> items_;
};
