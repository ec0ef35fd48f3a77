#pragma once
// Reads the binary component stream format ("TPF0") into components through their property tables.
// Damaged input raises EReadError; nothing is read past the end of the stream.
#include "platform/rtl/filer.h"

#include <cstdint>
#include <string>
#include <vector>

class TPersistent;
class TCollection;
struct TPropInfo;

class TReader : public TFiler {
public:
    // Components nest at most this deep, and so do values (collections, lists) within a property.
    static constexpr int MaxDepth = 64;

    explicit TReader(TStream& Stream) : TFiler(Stream) {}
    std::string ClassName() const override { return "TReader"; }

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    // Reads a whole stream into Root, or into a new component of the stored (registered) class when Root
    // is nullptr. Properties that the stream does not hold keep their values.
    TComponent* ReadRootComponent(TComponent* Root);
    // Reads one child component record and creates the child, owned by the current owner.
    TComponent* ReadComponent();
    // The properties, end, children and end of Instance.
    void ReadData(TComponent* Instance);
    // One property record, applied through the property's setter.
    void ReadProperty(TPersistent* Instance);
    // After vaCollection: the items.
    void ReadCollection(TCollection* Collection);

    TComponent* Owner() const { return owner_; }
    TComponent* Parent() const { return parent_; }

    void ReadSignature();
    TValueType ReadValue();
    TValueType NextValue();
    bool EndOfList() { return NextValue() == vaNull; }
    void ReadListBegin();
    void ReadListEnd();
    void CheckValue(TValueType Value);
    std::string ReadStr();
    int32_t ReadInteger();
    int64_t ReadInt64();
    bool ReadBoolean();
    // Any string type, as UTF-8.
    std::string ReadString();
    // vaIdent, or "False", "True", "nil", "Null" for their value types.
    std::string ReadIdent();
    // Extended, Single, Currency, Date or an integer.
    double ReadFloat();
    float ReadSingle();
    double ReadCurrency();
    // vaCurrency: the amount in ten-thousandths.
    int64_t ReadCurrencyUnits();
    double ReadDate();
    uint64_t ReadSet(const std::vector<std::string>& Names);
    // vaBinary: its bytes.
    std::vector<uint8_t> ReadBinary();
    void SkipValue();
    // The optional flags byte (and child position) before a component record.
    void ReadPrefix(uint8_t& flags, int32_t& childPos);

private:
    class DepthGuard;
    void ReadExact(void* buffer, int64_t count);
    uint8_t ReadByte();
    template <class T> T ReadLittleEndian();
    // Reads a 4-byte length and checks that that many units of unitSize bytes remain.
    int32_t ReadLength(int unitSize);
    void ReadPropValue(TPersistent* Instance, const TPropInfo& Info);
    [[noreturn]] void PropValueError();
    [[noreturn]] void PropertyNotFound(const std::string& Name);

    // A component reference read by name, set once the whole stream is read; Within lists the collections
    // whose items hold it (clearing one drops it).
    struct Fixup {
        TPersistent* instance;
        const TPropInfo* info;
        std::string name;
        std::vector<const TCollection*> within;
    };
    void ResolveFixups();

    TComponent* owner_ = nullptr;
    TComponent* parent_ = nullptr;
    std::string propName_;
    std::vector<TComponent*> loaded_;
    int componentDepth_ = 0;
    int valueDepth_ = 0;
    std::vector<Fixup> fixups_;
    std::vector<const TCollection*> collections_;
};
