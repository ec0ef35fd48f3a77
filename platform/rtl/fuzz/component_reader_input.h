#pragma once
// The fuzzing entry for the component stream reader, shared by the fuzzer and the replay test: read the
// bytes into a component with a property of every kind; when that works, what it writes must read back
// and write again to the very same bytes. The bytes also go through the text form: text that converts
// back must convert to the same text again.
#include "platform/rtl/collection.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/published.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace component_fuzz {

class Entry : public TCollectionItem {
public:
    explicit Entry(TCollection* c) : TCollectionItem(c) {}
    static const TPropertyTable& Table() {
        static const TPropertyTable table(
            nullptr, {IntegerProperty<Entry>("Value", &Entry::Value, &Entry::Value, 0),
                      StringProperty<Entry>("Caption", &Entry::Caption, &Entry::Caption)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    int Value = 0;
    std::string Caption;
};

class Font : public TPersistent {
public:
    static const TPropertyTable& Table() {
        static const TPropertyTable table(nullptr,
                                          {IntegerProperty<Font>("Size", &Font::Size, &Font::Size, 8),
                                           ColorProperty<Font>("Color", &Font::Color, &Font::Color)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void DefineProperties(TFiler& filer) override {
        filer.DefineBinaryProperty(
            "Data",
            [this](TStream& s) {
                Data.assign(static_cast<size_t>(s.Size()), 0);
                s.ReadBuffer(Data.data(), s.Size());
            },
            [this](TStream& s) { s.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size())); },
            !Data.empty());
    }
    int Size = 8;
    TColor Color = clWindowText;
    std::vector<uint8_t> Data;
};

class Target : public TComponent {
public:
    explicit Target(TComponent* owner = nullptr)
        : TComponent(owner), Entries(CollectionItemClass<Entry>(), this) {}
    std::string ClassName() const override { return "TFuzzTarget"; }
    static const TPropertyTable& Table() {
        using T = Target;
        static const TPropertyTable table(
            &TComponent::Table(),
            {
                BooleanProperty<T>("Flag", &T::Flag, &T::Flag),
                IntegerProperty<T>("Int", &T::Int, &T::Int, 0),
                Int64Property<T>("Big", &T::Big, &T::Big),
                EnumProperty<T>("Kind", &T::Kind, &T::Kind, {"kOne", "kTwo", "kThree"}),
                SetProperty<T>("Style", &T::Style, &T::Style, {"fsBold", "fsItalic", "fsUnderline"}, 0),
                FloatProperty<T>("Ext", &T::Ext, &T::Ext),
                FloatProperty<T>("Sgl", &T::Sgl, &T::Sgl, TFloatKind::Single),
                FloatProperty<T>("Money", &T::Money, &T::Money, TFloatKind::Currency),
                FloatProperty<T>("When", &T::When, &T::When, TFloatKind::Date),
                StringProperty<T>("Text", &T::Text, &T::Text),
                ColorProperty<T>("Color", &T::Color, &T::Color, clBtnFace),
                ObjectProperty<T>("Entries", &T::EntriesProp),
                ObjectProperty<T>("Font", &T::FontProp),
                ObjectProperty<T>("Lines", &T::LinesProp),
                MethodProperty("OnClick"),
            });
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void GetChildren(const TGetChildProc& proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i)
            proc(Components(i));
    }
    TComponent* GetChildOwner() override { return this; }
    TCollection* EntriesProp() { return &Entries; }
    Font* FontProp() { return &FontObject; }
    TStringList* LinesProp() { return &Lines; }

    bool Flag = false;
    int Int = 0;
    int64_t Big = 0;
    int Kind = 0;
    uint64_t Style = 0;
    double Ext = 0, Sgl = 0, Money = 0, When = 0;
    std::string Text;
    TColor Color = clBtnFace;
    TCollection Entries;
    Font FontObject;
    TStringList Lines;
};

inline std::vector<uint8_t> WriteBytes(Target& target) {
    TMemoryStream stream;
    WriteComponent(stream, &target);
    return stream.Bytes();
}

inline bool ReadBytes(const uint8_t* data, size_t size, Target& target) {
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    try {
        ReadComponent(stream, &target);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

inline bool ConvertToText(const uint8_t* data, size_t size, std::string& text) {
    TMemoryStream in;
    if (size > 0) in.WriteBuffer(data, static_cast<int64_t>(size));
    in.SetPosition(0);
    TMemoryStream out;
    try {
        ObjectBinaryToText(in, out);
    } catch (const Exception&) {
        return false;
    }
    text.assign(out.Bytes().begin(), out.Bytes().end());
    return true;
}

inline bool TextFormIsStable(const uint8_t* data, size_t size) {
    std::string text;
    if (!ConvertToText(data, size, text)) return true;
    TMemoryStream in;
    in.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    in.SetPosition(0);
    TMemoryStream binary;
    try {
        ObjectTextToBinary(in, binary);
    } catch (const Exception&) {
        return true;
    }
    std::string again;
    return ConvertToText(binary.Memory(), static_cast<size_t>(binary.Size()), again) && again == text;
}

// False only when an input that was read writes out something that does not read back the same, or
// when its text form is not stable.
inline bool ReadComponentInput(const uint8_t* data, size_t size) {
    static const bool registered = [] {
        RegisterComponentClass<Target>("TFuzzTarget");
        return true;
    }();
    (void)registered;
    if (size > (1u << 20)) return true;
    if (!TextFormIsStable(data, size)) return false;
    Target first;
    if (!ReadBytes(data, size, first)) return true;
    const std::vector<uint8_t> written = WriteBytes(first);
    Target second;
    if (!ReadBytes(written.data(), written.size(), second)) return false;
    return WriteBytes(second) == written;
}

} // namespace component_fuzz
