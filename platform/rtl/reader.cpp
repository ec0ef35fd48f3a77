#include "platform/rtl/reader.h"

#include "platform/rtl/collection.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/defined_properties.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/extended.h"
#include "platform/rtl/format.h"
#include "platform/rtl/published.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace {
constexpr const char* AncestorNotFound = "Ancestor for '%s' not found";

[[noreturn]] void StreamFormatError() {
    throw EReadError(rtl_text::InvalidStreamFormat);
}

template <class T> class Restore {
public:
    explicit Restore(T& target) : target_(target), saved_(target) {}
    ~Restore() { target_ = saved_; }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& target_;
    T saved_;
};

void ClearReadingState(TComponentState& state) {
    state.Exclude(csReading);
    state.Exclude(csLoading);
}
} // namespace

// Bounds the recursion of nested components, and separately of nested values (collections, lists), so
// that a hostile stream cannot exhaust the stack while anything the writer makes of a tree it could read
// also reads back.
class TReader::DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) {
        if (depth_ >= MaxDepth) StreamFormatError();
        ++depth_;
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

void TReader::ReadExact(void* buffer, int64_t count) {
    if (count <= 0) return;
    if (stream_.Read(buffer, count) != count) StreamFormatError();
}

uint8_t TReader::ReadByte() {
    uint8_t byte = 0;
    ReadExact(&byte, 1);
    return byte;
}

template <class T> T TReader::ReadLittleEndian() {
    uint8_t bytes[sizeof(T)];
    ReadExact(bytes, sizeof(T));
    std::make_unsigned_t<T> bits = 0;
    for (size_t i = sizeof(T); i > 0; --i)
        bits = static_cast<std::make_unsigned_t<T>>((bits << 8) | bytes[i - 1]);
    return static_cast<T>(bits);
}

int32_t TReader::ReadLength(int unitSize) {
    const int32_t length = ReadLittleEndian<int32_t>();
    const int64_t remaining = stream_.Size() - stream_.Position();
    if (length < 0 || static_cast<int64_t>(length) * unitSize > remaining) StreamFormatError();
    return length;
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
    if (propName_.empty() || !ReadData || !SameText(Name, propName_)) return;
    propName_.clear();
    ReadData(*this);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&,
                                   bool) {
    if (propName_.empty() || !ReadData || !SameText(Name, propName_)) return;
    propName_.clear();
    const std::vector<uint8_t> bytes = ReadBinary();
    TMemoryStream data;
    if (!bytes.empty()) data.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    data.SetPosition(0);
    ReadData(data);
}

std::vector<uint8_t> TReader::ReadBinary() {
    if (ReadValue() != vaBinary) PropValueError();
    const int32_t length = ReadLength(1);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    ReadExact(bytes.data(), length);
    return bytes;
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
    ReadSignature();
    uint8_t flags = 0;
    int32_t childPos = 0;
    ReadPrefix(flags, childPos);
    const std::string className = ReadStr();
    bool created = false;
    if (Root == nullptr) {
        Root = FindClass(className)(nullptr);
        created = true;
    }
    SetRoot(Root);
    owner_ = Root;
    parent_ = Root;
    loaded_.clear();
    fixups_.clear();
    ScopeGuard failed([&] {
        fixups_.clear();
        // Whatever was read stays, but no component is left marked as loading.
        for (TComponent* component : loaded_)
            ClearReadingState(component->state_);
        loaded_.clear();
        if (created)
            delete Root;
        else
            ClearReadingState(Root->state_);
    });
    const std::string name = ReadStr();
    Root->state_.Include(csLoading);
    Root->state_.Include(csReading);
    if (!Root->state_.Contains(csDesigning)) Root->SetName(name);
    loaded_.push_back(Root);
    Root->ReadState(*this);
    Root->state_.Exclude(csReading);
    ResolveFixups();
    failed.Dismiss();
    std::vector<TComponent*> loaded;
    loaded.swap(loaded_);
    for (TComponent* component : loaded)
        component->Loaded();
    return Root;
}

TComponent* TReader::ReadComponent() {
    uint8_t flags = 0;
    int32_t childPos = 0;
    ReadPrefix(flags, childPos);
    const std::string className = ReadStr();
    const std::string name = ReadStr();
    TComponent* component = nullptr;
    bool created = false;
    if ((flags & ffInherited) != 0) {
        component = owner_ != nullptr ? owner_->FindComponent(name) : nullptr;
        if (component == nullptr) throw EReadError(Format(AncestorNotFound, name));
    } else {
        component = FindClass(className)(owner_);
        created = true;
    }
    // Everything listed from here on is this component or a descendant of it.
    const size_t firstLoaded = loaded_.size();
    ScopeGuard failed([&] {
        // The failed subtree is taken off the list before it is freed, so nothing freed is touched later.
        ClearReadingState(component->state_);
        for (size_t i = firstLoaded; i < loaded_.size(); ++i)
            ClearReadingState(loaded_[i]->state_);
        loaded_.resize(firstLoaded);
        if (created) delete component;
    });
    component->state_.Include(csLoading);
    component->state_.Include(csReading);
    if (created) component->SetName(name);
    if (std::find(loaded_.begin(), loaded_.end(), component) == loaded_.end()) loaded_.push_back(component);
    component->ReadState(*this);
    component->state_.Exclude(csReading);
    failed.Dismiss();
    return component;
}

void TReader::ReadData(TComponent* Instance) {
    DepthGuard depth(componentDepth_);
    while (!EndOfList())
        ReadProperty(Instance);
    ReadListEnd();
    {
        Restore<TComponent*> owner(owner_);
        Restore<TComponent*> parent(parent_);
        if (TComponent* childOwner = Instance->GetChildOwner()) owner_ = childOwner;
        parent_ = Instance->GetChildParent();
        while (!EndOfList())
            ReadComponent();
    }
    ReadListEnd();
}

void TReader::ReadProperty(TPersistent* Instance) {
    const std::string path = ReadStr();
    TPersistent* target = Instance;
    std::string_view rest = path;
    for (size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
        const std::string part(rest.substr(0, dot));
        rest.remove_prefix(dot + 1);
        const TPropertyTable* table = target->PublishedProperties();
        const TPropInfo* info = table != nullptr ? table->Find(part) : nullptr;
        if (info == nullptr || info->Kind != TPropKind::Class) PropertyNotFound(part);
        TPersistent* next = info->GetObject(*target);
        if (next == nullptr) PropertyNotFound(part);
        target = next;
    }
    const std::string name(rest);
    const TPropertyTable* table = target->PublishedProperties();
    if (const TPropInfo* info = table != nullptr ? table->Find(name) : nullptr) {
        ReadPropValue(target, *info);
        return;
    }
    propName_ = name;
    DefineStoredData(*this, target);
    if (!propName_.empty()) {
        propName_.clear();
        PropertyNotFound(name);
    }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo& Info) {
    switch (Info.Kind) {
    case TPropKind::Integer:
        Info.SetOrdinal(*Instance, ReadInteger());
        return;
    case TPropKind::Int64:
        Info.SetOrdinal(*Instance, ReadInt64());
        return;
    case TPropKind::Color: {
        if (NextValue() == vaIdent) {
            TColor color = 0;
            if (!IdentToColor(ReadIdent(), color)) PropValueError();
            Info.SetOrdinal(*Instance, color);
        } else {
            Info.SetOrdinal(*Instance, ReadInteger());
        }
        return;
    }
    case TPropKind::Boolean:
        Info.SetOrdinal(*Instance, ReadBoolean() ? 1 : 0);
        return;
    case TPropKind::Enumeration: {
        const std::string ident = ReadIdent();
        for (size_t i = 0; i < Info.Names.size(); ++i)
            if (SameText(Info.Names[i], ident)) {
                Info.SetOrdinal(*Instance, static_cast<int64_t>(i));
                return;
            }
        PropValueError();
    }
    case TPropKind::Set:
        Info.SetOrdinal(*Instance, static_cast<int64_t>(ReadSet(Info.Names)));
        return;
    case TPropKind::Float: {
        // Kept as the property's own type holds it.
        double value = ReadFloat();
        if (Info.FloatKind == TFloatKind::Single)
            value = static_cast<float>(value);
        else if (Info.FloatKind == TFloatKind::Currency) {
            if (!IsCurrencyInRange(value)) PropValueError();
            value = static_cast<double>(CurrencyUnits(value)) / 10000.0;
        }
        Info.SetFloat(*Instance, value);
        return;
    }
    case TPropKind::String:
        Info.SetString(*Instance, ReadString());
        return;
    case TPropKind::Class: {
        auto* collection = dynamic_cast<TCollection*>(Info.GetObject(*Instance));
        if (collection == nullptr || ReadValue() != vaCollection) PropValueError();
        ReadCollection(collection);
        return;
    }
    case TPropKind::Method:
        SkipValue();
        return;
    case TPropKind::Component:
        if (NextValue() == vaNil) {
            ReadValue();
            Info.SetComponent(*Instance, nullptr);
            return;
        }
        // The component may come later in the stream: the name is looked up once all is read.
        fixups_.push_back(Fixup{Instance, &Info, ReadIdent(), collections_});
        return;
    }
}

// A name with dots is looked up one owner at a time, starting at the root (by its own name) or among
// the root's components; a name that is not found leaves the property as it is.
void TReader::ResolveFixups() {
    std::vector<Fixup> fixups;
    fixups.swap(fixups_);
    for (const Fixup& fixup : fixups) {
        std::string_view rest = fixup.name;
        TComponent* found = nullptr;
        for (bool first = true; found != nullptr || first; first = false) {
            const size_t dot = rest.find('.');
            const std::string_view part = rest.substr(0, dot);
            rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
            TComponent* scope = first ? root_ : found;
            found = scope != nullptr ? scope->FindComponent(part) : nullptr;
            if (first && found == nullptr && root_ != nullptr && SameText(part, root_->Name())) found = root_;
            if (rest.empty()) break;
        }
        if (found != nullptr) fixup.info->SetComponent(*fixup.instance, found);
    }
}

void TReader::ReadCollection(TCollection* Collection) {
    DepthGuard depth(valueDepth_);
    collections_.push_back(Collection);
    Collection->BeginUpdate();
    const ThrowingScopeGuard endCollection([&] {
        collections_.pop_back();
        Collection->EndUpdate();
    });
    // An empty record leaves the items as they are, as the class library does. References read
    // into the items that are cleared go with them.
    if (!EndOfList()) {
        std::erase_if(fixups_, [Collection](const Fixup& fixup) {
            return std::find(fixup.within.begin(), fixup.within.end(), Collection) != fixup.within.end();
        });
        Collection->Clear();
    }
    while (!EndOfList()) {
        const TValueType next = NextValue();
        if (next == vaInt8 || next == vaInt16 || next == vaInt32) ReadInteger();
        TCollectionItem* item = Collection->Add();
        ReadListBegin();
        while (!EndOfList())
            ReadProperty(item);
        ReadListEnd();
    }
    ReadListEnd();
}

void TReader::ReadSignature() {
    char signature[4];
    ReadExact(signature, 4);
    if (std::string_view(signature, 4) != "TPF0") StreamFormatError();
}

void TReader::ReadPrefix(uint8_t& flags, int32_t& childPos) {
    flags = 0;
    childPos = 0;
    const uint8_t byte = ReadByte();
    if ((byte & 0xF0) != 0xF0) {
        stream_.Seek(-1, soCurrent);
        return;
    }
    flags = byte & 0x0F;
    if ((flags & ffChildPos) != 0) childPos = ReadInteger();
}

TValueType TReader::ReadValue() {
    const uint8_t byte = ReadByte();
    if (byte > vaLastValueType) StreamFormatError();
    return static_cast<TValueType>(byte);
}

// The next byte, not consumed and not checked: at the end of a list it is a name's length byte.
TValueType TReader::NextValue() {
    const uint8_t byte = ReadByte();
    stream_.Seek(-1, soCurrent);
    return static_cast<TValueType>(byte);
}

void TReader::CheckValue(TValueType Value) {
    if (ReadValue() != Value) StreamFormatError();
}

void TReader::ReadListBegin() {
    CheckValue(vaList);
}

void TReader::ReadListEnd() {
    CheckValue(vaNull);
}

std::string TReader::ReadStr() {
    const uint8_t length = ReadByte();
    std::string result(length, '\0');
    ReadExact(result.data(), length);
    return result;
}

int32_t TReader::ReadInteger() {
    switch (ReadValue()) {
    case vaInt8:
        return ReadLittleEndian<int8_t>();
    case vaInt16:
        return ReadLittleEndian<int16_t>();
    case vaInt32:
        return ReadLittleEndian<int32_t>();
    default:
        PropValueError();
    }
}

int64_t TReader::ReadInt64() {
    if (NextValue() == vaInt64) {
        ReadValue();
        return ReadLittleEndian<int64_t>();
    }
    return ReadInteger();
}

bool TReader::ReadBoolean() {
    const std::string ident = ReadIdent();
    if (SameText(ident, "True")) return true;
    if (SameText(ident, "False")) return false;
    PropValueError();
}

std::string TReader::ReadString() {
    switch (ReadValue()) {
    case vaString:
        return ReadStr();
    case vaLString:
    case vaUTF8String: {
        const int32_t length = ReadLength(1);
        std::string result(static_cast<size_t>(length), '\0');
        ReadExact(result.data(), length);
        return result;
    }
    case vaWString: {
        const int32_t length = ReadLength(2);
        std::u16string wide(static_cast<size_t>(length), u'\0');
        for (auto& unit : wide)
            unit = static_cast<char16_t>(ReadLittleEndian<uint16_t>());
        return Utf16ToUtf8(wide);
    }
    default:
        PropValueError();
    }
}

std::string TReader::ReadIdent() {
    switch (ReadValue()) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    case vaNull:
        return "Null";
    default:
        PropValueError();
    }
}

double TReader::ReadFloat() {
    switch (NextValue()) {
    case vaExtended: {
        ReadValue();
        std::array<uint8_t, 10> bytes{};
        ReadExact(bytes.data(), 10);
        return float80::ToDouble(bytes);
    }
    case vaSingle:
        return ReadSingle();
    case vaCurrency:
        return ReadCurrency();
    case vaDate:
        return ReadDate();
    case vaInt64:
        return static_cast<double>(ReadInt64());
    default:
        return ReadInteger();
    }
}

float TReader::ReadSingle() {
    if (ReadValue() != vaSingle) PropValueError();
    return std::bit_cast<float>(ReadLittleEndian<uint32_t>());
}

double TReader::ReadCurrency() {
    return static_cast<double>(ReadCurrencyUnits()) / 10000.0;
}

int64_t TReader::ReadCurrencyUnits() {
    if (ReadValue() != vaCurrency) PropValueError();
    return ReadLittleEndian<int64_t>();
}

double TReader::ReadDate() {
    if (ReadValue() != vaDate) PropValueError();
    return std::bit_cast<double>(ReadLittleEndian<uint64_t>());
}

uint64_t TReader::ReadSet(const std::vector<std::string>& Names) {
    if (ReadValue() != vaSet) PropValueError();
    uint64_t result = 0;
    for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) {
        auto it =
            std::find_if(Names.begin(), Names.end(), [&](const std::string& n) { return SameText(n, name); });
        const auto index = it - Names.begin();
        if (it == Names.end() || index >= 64) PropValueError();
        result |= uint64_t{1} << index;
    }
    return result;
}

void TReader::SkipValue() {
    DepthGuard depth(valueDepth_);
    auto skip = [this](int64_t count) {
        if (count > stream_.Size() - stream_.Position()) StreamFormatError();
        stream_.Seek(count, soCurrent);
    };
    switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        return;
    case vaList:
        while (!EndOfList())
            SkipValue();
        ReadListEnd();
        return;
    case vaInt8:
        return skip(1);
    case vaInt16:
        return skip(2);
    case vaInt32:
    case vaSingle:
        return skip(4);
    case vaInt64:
    case vaCurrency:
    case vaDate:
        return skip(8);
    case vaExtended:
        return skip(10);
    case vaString:
    case vaIdent:
        ReadStr();
        return;
    case vaBinary:
    case vaLString:
    case vaUTF8String:
        return skip(ReadLength(1));
    case vaWString:
        return skip(int64_t{ReadLength(2)} * 2);
    case vaSet:
        while (!ReadStr().empty()) {
        }
        return;
    case vaCollection:
        while (!EndOfList()) {
            const TValueType next = NextValue();
            if (next == vaInt8 || next == vaInt16 || next == vaInt32) SkipValue();
            ReadListBegin();
            while (!EndOfList()) {
                ReadStr();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
        return;
    }
}

void TReader::PropValueError() {
    throw EReadError(filer_text::InvalidPropertyValue);
}

void TReader::PropertyNotFound(const std::string& Name) {
    throw EReadError(Format(rtl_text::UnknownProperty, Name));
}
