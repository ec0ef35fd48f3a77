#pragma once
// Writes components in the binary component stream format ("TPF0").
#include "platform/rtl/filer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TPersistent;
class TCollection;
struct TPropInfo;

class TWriter : public TFiler {
public:
    explicit TWriter(TStream& Stream) : TFiler(Stream) {}
    std::string ClassName() const override { return "TWriter"; }

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    // Signature, then Root as a component record.
    void WriteRootComponent(TComponent* Root);
    // A component record: class name, name, properties, end, children, end.
    void WriteComponent(TComponent* Component);
    // The properties, end, children and end of Instance.
    void WriteData(TComponent* Instance);
    void WriteProperties(TPersistent* Instance);
    void WriteProperty(TPersistent* Instance, const TPropInfo& Info);
    void WriteCollection(TCollection* Value);

    void WriteSignature();
    // The flags byte (and child position) before a component record; nothing when there are no flags.
    void WritePrefix(uint8_t Flags, int32_t ChildPos);
    void WriteValue(TValueType Value);
    // A short string: one length byte, then at most 255 bytes (EWriteError when longer).
    void WriteStr(const std::string& Value);
    void WritePropName(std::string_view Name);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // Int8, Int16, Int32 or Int64, whichever is smallest.
    void WriteInteger(int64_t Value);
    void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
    // String up to 255 bytes, else LString.
    void WriteString(std::string_view Value);
    void WriteWideString(std::string_view Utf8);
    void WriteUTF8String(std::string_view Value);
    // "False", "True", "nil" and "Null" become their own value types.
    void WriteIdent(std::string_view Ident);
    void WriteFloat(double Value);
    void WriteSingle(float Value);
    void WriteCurrency(double Value);
    void WriteCurrencyUnits(int64_t TenThousandths);
    void WriteDate(double Value);
    // The names of the bits set in Value.
    void WriteSet(uint64_t Value, const std::vector<std::string>& Names);
    void WriteBinary(const TStreamProc& WriteData);
    void WriteBinary(const std::vector<uint8_t>& Data);

private:
    void Write(const void* data, size_t count);
    std::string ComponentPath(const TComponent* Component) const;
    template <class T> void WriteLittleEndian(T value);

    std::string propPath_;
};
