#pragma once
// What the component stream's reader and writer share: the value-type tags and defined properties.
#include "platform/rtl/object.h"

#include <cstdint>
#include <functional>
#include <string>

class TStream;
class TComponent;
class TReader;
class TWriter;

enum TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
};
inline constexpr TValueType vaLastValueType = vaUTF8String;

// Prefix flags of a child component record.
enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

namespace filer_text {
inline constexpr const char* InvalidPropertyValue = "Invalid property value";
inline constexpr const char* InvalidPropertyPath = "Invalid property path";
} // namespace filer_text

class TFiler : public TObject {
public:
    explicit TFiler(TStream& Stream) : stream_(Stream) {}
    std::string ClassName() const override { return "TFiler"; }

    TStream& Stream() const { return stream_; }
    TComponent* Root() const { return root_; }
    void SetRoot(TComponent* Value) { root_ = Value; }

    // Data stored beside the published properties: the writer calls WriteData when HasData; the reader
    // calls ReadData when the record it is reading has this name.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // The same for a block of bytes.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

protected:
    TStream& stream_;
    TComponent* root_ = nullptr;
};
