#pragma once
// Published properties: each streamable class declares a table of its stored properties (name, kind,
// accessors, default), and a derived class's table follows its base's.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TComponent;
class TPersistent;

enum class TPropKind {
    Integer,
    Int64,
    Enumeration,
    Set,
    Boolean,
    Float,
    String,
    Color,
    Class,
    Method,
    Component
};
// How a float property is stored: Extended (also for doubles), Single, Currency or Date.
enum class TFloatKind { Extended, Single, Currency, Date };

struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    TFloatKind FloatKind = TFloatKind::Extended;
    // Enumeration members or set elements, by ordinal.
    std::vector<std::string> Names;
    // The value that is not written (ordinal, set, Int64 kinds); none: always written.
    std::optional<int64_t> Default;
    // Empty: stored.
    std::function<bool(const TPersistent&)> Stored;
    std::function<int64_t(const TPersistent&)> GetOrdinal;
    std::function<void(TPersistent&, int64_t)> SetOrdinal;
    std::function<double(const TPersistent&)> GetFloat;
    std::function<void(TPersistent&, double)> SetFloat;
    std::function<std::string(const TPersistent&)> GetString;
    std::function<void(TPersistent&, const std::string&)> SetString;
    // Class kind: the sub-object (a persistent, a collection, or nullptr).
    std::function<TPersistent*(TPersistent&)> GetObject;
    // Component kind: the component referred to (nullptr for none).
    std::function<TComponent*(const TPersistent&)> GetComponent;
    std::function<void(TPersistent&, TComponent*)> SetComponent;

    bool IsStored(const TPersistent& instance) const { return !Stored || Stored(instance); }
};

class TPropertyTable {
public:
    TPropertyTable(const TPropertyTable* base, std::vector<TPropInfo> own);
    // Base properties first, then this class's, in declaration order.
    const std::vector<TPropInfo>& Properties() const { return all_; }
    // Letter case does not matter; nullptr when absent.
    const TPropInfo* Find(std::string_view name) const;

private:
    std::vector<TPropInfo> all_;
};

namespace published_detail {
template <class S> struct SetterArg;
template <class C, class A> struct SetterArg<void (C::*)(A)> { using type = std::remove_cvref_t<A>; };
template <class C, class A>
requires(!std::is_function_v<A>) struct SetterArg<A C::*> {
    using type = A;
};

template <class T, class G> auto Get(const TPersistent& instance, G get) {
    return std::invoke(get, static_cast<const T&>(instance));
}

template <class T, class S, class V> void Put(TPersistent& instance, S set, V&& value) {
    using Arg = typename SetterArg<S>::type;
    auto& self = static_cast<T&>(instance);
    if constexpr (std::is_member_object_pointer_v<S>)
        self.*set = static_cast<Arg>(value);
    else
        (self.*set)(static_cast<Arg>(value));
}

template <class T, class G, class S>
TPropInfo Ordinal(std::string name, TPropKind kind, G get, S set, std::optional<int64_t> def) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = kind;
    info.Default = def;
    info.GetOrdinal = [get](const TPersistent& o) { return static_cast<int64_t>(Get<T>(o, get)); };
    info.SetOrdinal = [set](TPersistent& o, int64_t v) { Put<T>(o, set, v); };
    return info;
}
} // namespace published_detail

// Accessors are member functions (getter const, setter taking one value) or data members.
template <class T, class G, class S>
TPropInfo IntegerProperty(std::string name, G get, S set, std::optional<int64_t> def = std::nullopt) {
    return published_detail::Ordinal<T>(std::move(name), TPropKind::Integer, get, set, def);
}

template <class T, class G, class S>
TPropInfo Int64Property(std::string name, G get, S set, int64_t def = 0) {
    return published_detail::Ordinal<T>(std::move(name), TPropKind::Int64, get, set, def);
}

template <class T, class G, class S>
TPropInfo BooleanProperty(std::string name, G get, S set, std::optional<bool> def = std::nullopt) {
    std::optional<int64_t> ordinalDefault;
    if (def) ordinalDefault = *def ? 1 : 0;
    return published_detail::Ordinal<T>(std::move(name), TPropKind::Boolean, get, set, ordinalDefault);
}

template <class T, class G, class S>
TPropInfo ColorProperty(std::string name, G get, S set, std::optional<int64_t> def = std::nullopt) {
    return published_detail::Ordinal<T>(std::move(name), TPropKind::Color, get, set, def);
}

template <class T, class G, class S>
TPropInfo EnumProperty(std::string name, G get, S set, std::vector<std::string> names,
                       std::optional<int64_t> def = std::nullopt) {
    TPropInfo info = published_detail::Ordinal<T>(std::move(name), TPropKind::Enumeration, get, set, def);
    info.Names = std::move(names);
    return info;
}

// A set is a bit mask: bit i is the element Names[i].
template <class T, class G, class S>
TPropInfo SetProperty(std::string name, G get, S set, std::vector<std::string> names,
                      std::optional<int64_t> def = std::nullopt) {
    TPropInfo info = published_detail::Ordinal<T>(std::move(name), TPropKind::Set, get, set, def);
    info.Names = std::move(names);
    return info;
}

// Not written when 0.
template <class T, class G, class S>
TPropInfo FloatProperty(std::string name, G get, S set, TFloatKind kind = TFloatKind::Extended) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = TPropKind::Float;
    info.FloatKind = kind;
    info.GetFloat = [get](const TPersistent& o) {
        return static_cast<double>(published_detail::Get<T>(o, get));
    };
    info.SetFloat = [set](TPersistent& o, double v) { published_detail::Put<T>(o, set, v); };
    return info;
}

// Not written when empty.
template <class T, class G, class S> TPropInfo StringProperty(std::string name, G get, S set) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = TPropKind::String;
    info.GetString = [get](const TPersistent& o) { return std::string(published_detail::Get<T>(o, get)); };
    info.SetString = [set](TPersistent& o, const std::string& v) { published_detail::Put<T>(o, set, v); };
    return info;
}

// A persistent sub-object the instance owns (its properties are stored as "Name.Sub"), or a collection.
template <class T, class G> TPropInfo ObjectProperty(std::string name, G get) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = TPropKind::Class;
    info.GetObject = [get](TPersistent& o) -> TPersistent* { return std::invoke(get, static_cast<T&>(o)); };
    return info;
}

// A reference to another component, stored by its name ("Name" for a component of the stream's root,
// "Owner.Name" for one owned elsewhere) and set once the whole stream is read; nullptr is not stored.
// A component that is not a C is ignored.
template <class T, class C, class G, class S> TPropInfo ComponentProperty(std::string name, G get, S set) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = TPropKind::Component;
    info.GetComponent = [get](const TPersistent& o) -> TComponent* {
        return std::invoke(get, static_cast<const T&>(o));
    };
    info.SetComponent = [set](TPersistent& o, TComponent* value) {
        C* typed = dynamic_cast<C*>(value);
        if (value == nullptr || typed != nullptr) std::invoke(set, static_cast<T&>(o), typed);
    };
    return info;
}

// An event: known to the table so that reading accepts it, but never stored.
inline TPropInfo MethodProperty(std::string name) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = TPropKind::Method;
    return info;
}
