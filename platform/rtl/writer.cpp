#include "platform/rtl/writer.h"

#include "platform/rtl/collection.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/defined_properties.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/extended.h"
#include "platform/rtl/format.h"
#include "platform/rtl/published.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {
constexpr const char* TooLongString = "String too long for the stream: %s";

// Restores a saved value when the scope ends, whichever way it ends.
template <class T> class Restore {
public:
    explicit Restore(T& target) : target_(target), saved_(target) {}
    ~Restore() { target_ = std::move(saved_); }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& target_;
    T saved_;
};

class WritingState {
public:
    explicit WritingState(TComponentState& state) : state_(state) {
        wasWriting_ = state_.Contains(csWriting);
        state_.Include(csWriting);
    }
    ~WritingState() {
        if (!wasWriting_) state_.Exclude(csWriting);
    }
    WritingState(const WritingState&) = delete;
    WritingState& operator=(const WritingState&) = delete;

private:
    TComponentState& state_;
    bool wasWriting_;
};
} // namespace

void TWriter::Write(const void* data, size_t count) {
    stream_.WriteBuffer(data, static_cast<int64_t>(count));
}

template <class T> void TWriter::WriteLittleEndian(T value) {
    using U = std::make_unsigned_t<T>;
    U bits = static_cast<U>(value);
    uint8_t bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    Write(bytes, sizeof(T));
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData,
                             bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(Name);
    WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(Name);
    WriteBinary(WriteData);
}

void TWriter::WriteRootComponent(TComponent* Root) {
    SetRoot(Root);
    WriteSignature();
    WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
    WritingState writing(Component->state_);
    WriteStr(Component->ClassName());
    WriteStr(Component->Name());
    Component->WriteState(*this);
}

void TWriter::WriteData(TComponent* Instance) {
    WriteProperties(Instance);
    WriteListEnd();
    Instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
    WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
    if (const TPropertyTable* table = Instance->PublishedProperties())
        for (const TPropInfo& info : table->Properties())
            WriteProperty(Instance, info);
    DefineStoredData(*this, Instance);
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo& Info) {
    if (!Info.IsStored(*Instance)) return;
    switch (Info.Kind) {
    case TPropKind::Integer:
    case TPropKind::Color:
    case TPropKind::Enumeration:
    case TPropKind::Set:
    case TPropKind::Boolean:
    case TPropKind::Int64: {
        const int64_t value = Info.GetOrdinal(*Instance);
        if (Info.Default && value == *Info.Default) return;
        if (Info.Kind == TPropKind::Enumeration &&
            (value < 0 || value >= static_cast<int64_t>(Info.Names.size())))
            throw EWriteError(filer_text::InvalidPropertyValue);
        WritePropName(Info.Name);
        std::string ident;
        switch (Info.Kind) {
        case TPropKind::Integer:
            WriteInteger(static_cast<int32_t>(value));
            break;
        case TPropKind::Color:
            if (ColorToIdent(static_cast<TColor>(value), ident))
                WriteIdent(ident);
            else
                WriteInteger(static_cast<int32_t>(value));
            break;
        case TPropKind::Enumeration:
            WriteIdent(Info.Names[static_cast<size_t>(value)]);
            break;
        case TPropKind::Set:
            WriteSet(static_cast<uint64_t>(value), Info.Names);
            break;
        case TPropKind::Boolean:
            WriteBoolean(value != 0);
            break;
        default:
            WriteInteger(value);
            break;
        }
        return;
    }
    case TPropKind::Float: {
        // Omitted when the value as stored is 0, so that what is written always reads back the same.
        const double value = Info.GetFloat(*Instance);
        switch (Info.FloatKind) {
        case TFloatKind::Extended:
        case TFloatKind::Date:
            if (value == 0) return;
            WritePropName(Info.Name);
            if (Info.FloatKind == TFloatKind::Extended)
                WriteFloat(value);
            else
                WriteDate(value);
            return;
        case TFloatKind::Single:
            if (static_cast<float>(value) == 0) return;
            WritePropName(Info.Name);
            WriteSingle(static_cast<float>(value));
            return;
        case TFloatKind::Currency:
            if (CurrencyUnits(value) == 0) return;
            WritePropName(Info.Name);
            WriteCurrency(value);
            return;
        }
        return;
    }
    case TPropKind::String: {
        const std::string value = Info.GetString(*Instance);
        if (value.empty()) return;
        WritePropName(Info.Name);
        WriteString(value);
        return;
    }
    case TPropKind::Class: {
        TPersistent* value = Info.GetObject(*Instance);
        // Components are referred to by name, which these streams do not hold; they are not stored.
        if (value == nullptr || dynamic_cast<TComponent*>(value) != nullptr) return;
        if (auto* collection = dynamic_cast<TCollection*>(value)) {
            WritePropName(Info.Name);
            WriteCollection(collection);
            return;
        }
        Restore<std::string> restore(propPath_);
        propPath_ += Info.Name + ".";
        WriteProperties(value);
        return;
    }
    case TPropKind::Method:
        return;
    case TPropKind::Component: {
        const std::string name = ComponentPath(Info.GetComponent(*Instance));
        if (name.empty()) return;
        WritePropName(Info.Name);
        WriteIdent(name);
        return;
    }
    }
}

// The name a reference is stored under: a component of the root by its name, any other by its owner's
// name and its own; empty (not stored) for an unnamed one.
std::string TWriter::ComponentPath(const TComponent* Component) const {
    if (Component == nullptr || Component->Name().empty()) return {};
    if (Component == root_ || Component->Owner() == root_ || Component->Owner() == nullptr)
        return Component->Name();
    if (Component->Owner()->Name().empty()) return {};
    return Component->Owner()->Name() + "." + Component->Name();
}

void TWriter::WriteCollection(TCollection* Value) {
    Restore<std::string> restore(propPath_);
    propPath_.clear();
    WriteValue(vaCollection);
    for (int i = 0; i < Value->Count(); ++i) {
        WriteListBegin();
        WriteProperties(Value->Items(i));
        WriteListEnd();
    }
    WriteListEnd();
}

void TWriter::WriteSignature() {
    Write("TPF0", 4);
}

void TWriter::WritePrefix(uint8_t Flags, int32_t ChildPos) {
    if (Flags == 0) return;
    const uint8_t prefix = 0xF0 | (Flags & 0x0F);
    Write(&prefix, 1);
    if ((Flags & ffChildPos) != 0) WriteInteger(ChildPos);
}

void TWriter::WriteValue(TValueType Value) {
    const uint8_t byte = Value;
    Write(&byte, 1);
}

void TWriter::WriteStr(const std::string& Value) {
    if (Value.size() > 255) throw EWriteError(Format(TooLongString, Value.substr(0, 64)));
    const uint8_t length = static_cast<uint8_t>(Value.size());
    Write(&length, 1);
    Write(Value.data(), Value.size());
}

void TWriter::WritePropName(std::string_view Name) {
    const std::string path = propPath_ + std::string(Name);
    WriteStr(path);
}

void TWriter::WriteInteger(int64_t Value) {
    if (Value >= std::numeric_limits<int8_t>::min() && Value <= std::numeric_limits<int8_t>::max()) {
        WriteValue(vaInt8);
        WriteLittleEndian(static_cast<int8_t>(Value));
    } else if (Value >= std::numeric_limits<int16_t>::min() && Value <= std::numeric_limits<int16_t>::max()) {
        WriteValue(vaInt16);
        WriteLittleEndian(static_cast<int16_t>(Value));
    } else if (Value >= std::numeric_limits<int32_t>::min() && Value <= std::numeric_limits<int32_t>::max()) {
        WriteValue(vaInt32);
        WriteLittleEndian(static_cast<int32_t>(Value));
    } else {
        WriteValue(vaInt64);
        WriteLittleEndian(Value);
    }
}

void TWriter::WriteString(std::string_view Value) {
    if (Value.size() <= 255) {
        WriteValue(vaString);
        WriteStr(std::string(Value));
        return;
    }
    if (Value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw EWriteError(Format(TooLongString, Value.substr(0, 64)));
    WriteValue(vaLString);
    WriteLittleEndian(static_cast<int32_t>(Value.size()));
    Write(Value.data(), Value.size());
}

void TWriter::WriteWideString(std::string_view Utf8) {
    const std::u16string wide = Utf8ToUtf16(Utf8);
    if (wide.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2))
        throw EWriteError(Format(TooLongString, Utf8.substr(0, 64)));
    WriteValue(vaWString);
    WriteLittleEndian(static_cast<int32_t>(wide.size()));
    for (char16_t unit : wide)
        WriteLittleEndian(static_cast<uint16_t>(unit));
}

void TWriter::WriteUTF8String(std::string_view Value) {
    if (Value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw EWriteError(Format(TooLongString, Value.substr(0, 64)));
    WriteValue(vaUTF8String);
    WriteLittleEndian(static_cast<int32_t>(Value.size()));
    Write(Value.data(), Value.size());
}

void TWriter::WriteIdent(std::string_view Ident) {
    if (SameText(Ident, "False"))
        WriteValue(vaFalse);
    else if (SameText(Ident, "True"))
        WriteValue(vaTrue);
    else if (SameText(Ident, "nil"))
        WriteValue(vaNil);
    else if (SameText(Ident, "Null"))
        WriteValue(vaNull);
    else {
        WriteValue(vaIdent);
        WriteStr(std::string(Ident));
    }
}

void TWriter::WriteFloat(double Value) {
    WriteValue(vaExtended);
    const auto bytes = float80::FromDouble(Value);
    Write(bytes.data(), bytes.size());
}

void TWriter::WriteSingle(float Value) {
    WriteValue(vaSingle);
    WriteLittleEndian(std::bit_cast<uint32_t>(Value));
}

void TWriter::WriteCurrency(double Value) {
    WriteCurrencyUnits(CurrencyUnits(Value));
}

void TWriter::WriteCurrencyUnits(int64_t TenThousandths) {
    WriteValue(vaCurrency);
    WriteLittleEndian(TenThousandths);
}

void TWriter::WriteDate(double Value) {
    WriteValue(vaDate);
    WriteLittleEndian(std::bit_cast<uint64_t>(Value));
}

void TWriter::WriteSet(uint64_t Value, const std::vector<std::string>& Names) {
    WriteValue(vaSet);
    for (size_t i = 0; i < Names.size() && i < 64; ++i)
        if ((Value >> i) & 1) WriteStr(Names[i]);
    WriteStr("");
}

void TWriter::WriteBinary(const TStreamProc& WriteData) {
    TMemoryStream data;
    WriteData(data);
    if (data.Size() > std::numeric_limits<int32_t>::max()) throw EWriteError(rtl_text::WriteError);
    WriteValue(vaBinary);
    WriteLittleEndian(static_cast<int32_t>(data.Size()));
    Write(data.Memory(), static_cast<size_t>(data.Size()));
}

void TWriter::WriteBinary(const std::vector<uint8_t>& Data) {
    WriteBinary([&Data](TStream& stream) {
        if (!Data.empty()) stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
    });
}
