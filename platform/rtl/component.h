#pragma once
// Components: named objects that belong to an owner, which frees them, and that tell the components
// referring to them when they go away.
#include "platform/rtl/exception.h"
#include "platform/rtl/persistent.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

PW_DECLARE_EXCEPTION(EComponentError, Exception)

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csFreeNotification = 1u << 5,
};

class TComponentState {
public:
    TComponentState() = default;
    bool Contains(TComponentStateFlag flag) const { return (bits_ & flag) != 0; }
    void Include(TComponentStateFlag flag) { bits_ |= flag; }
    void Exclude(TComponentStateFlag flag) { bits_ &= ~static_cast<unsigned>(flag); }
    bool operator==(const TComponentState&) const = default;

private:
    unsigned bits_ = 0;
};

class TComponent;
class TReader;
class TWriter;
using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    std::string ClassName() const override { return "TComponent"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    std::string GetNamePath() const override { return name_; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // EListError when Index is out of range.
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    // Letter case does not matter; nullptr for an empty name or none found.
    TComponent* FindComponent(std::string_view AName) const;

    const std::string& Name() const { return name_; }
    // An identifier or empty; unique among the owner's components (EComponentError otherwise).
    virtual void SetName(const std::string& NewName);
    int32_t Tag() const { return tag_; }
    void SetTag(int32_t Value) { tag_ = Value; }

    TComponentState ComponentState() const { return state_; }
    void SetDesigning(bool Value, bool SetChildren = true);

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    void Destroying();

    // AComponent will call this one's Notification(AComponent, opRemove) when it is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Calls Proc for each child that the stream stores under this component (none by default).
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);

    // The component under which the stream stores this one (a control's parent, a bar item's manager);
    // an owner does not store such components itself.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent*) {}

    // Marks the component as being read, as the stream does for each component it reads, so that
    // components built in code from stored values take them as the stream would give them; Loaded
    // ends it.
    void Loading() { state_.Include(csLoading); }
    // Called once the whole stream has been read.
    virtual void Loaded();
    // Reads or writes this component's properties and children (a control also takes its parent here).
    virtual void ReadState(TReader& Reader);
    virtual void WriteState(TWriter& Writer);
    // The owner and parent of the children read from the stream under this component.
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual TComponent* GetChildParent() { return this; }

    // Sent to every component of an owner when a component is inserted into it or removed from it, and to
    // the components that asked for free notification.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

protected:
    TPersistent* GetOwner() const override { return owner_; }
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName);
    virtual void ValidateInsert(TComponent* AComponent);

private:
    friend class TReader;
    friend class TWriter;
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    int32_t tag_ = 0;
    TComponentState state_;
};

// True for a Pascal identifier: a letter or "_" first, then letters, digits or "_".
bool IsValidIdent(std::string_view Ident);

// The classes the stream may create by name when it reads child components.
using TComponentClass = TComponent* (*)(TComponent* AOwner);
void RegisterClass(const std::string& ClassName, TComponentClass Create);
void UnRegisterClass(const std::string& ClassName);
// nullptr when the name is not registered.
TComponentClass GetClass(std::string_view ClassName);
// EClassNotFound "Class %s not found" when the name is not registered.
TComponentClass FindClass(std::string_view ClassName);

template <class T> void RegisterComponentClass(const std::string& ClassName) {
    RegisterClass(ClassName, [](TComponent* AOwner) -> TComponent* { return new T(AOwner); });
}
