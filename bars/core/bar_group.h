#pragma once
// A set of items and nested groups whose Enabled and Visible states are switched in one assignment.
// The group does not own its members; the manager owns the group.
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_types.h"
#include "platform/rtl/component.h"

class TdxBarManager;
class TFiler;
class TPropertyTable;
class TReader;

class TdxBarGroup : public TComponent {
public:
    explicit TdxBarGroup(TComponent* AOwner);
    ~TdxBarGroup() override;
    std::string ClassName() const override { return "TdxBarGroup"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    TdxBarManager* BarManager() const { return barManager_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    TdxBarItemVisible Visible() const { return visible_; }
    void SetVisible(TdxBarItemVisible Value);

    int Count() const { return static_cast<int>(items_.size()); }
    // A TdxBarItem or a TdxBarGroup; nullptr out of range.
    TComponent* Items(int Index) const;
    int IndexOf(TComponent* Member) const;
    // Raises EdxBarError when Member is this group or holds it at any depth; ignores anything that is
    // neither an item nor a group, and a member already there.
    void Add(TComponent* Member);
    void Remove(TComponent* Member);
    void Move(int CurIndex, int NewIndex);
    // The group's place among the manager's groups; setting it moves the group there.
    int Index() const;
    void SetIndex(int Value);
    // Whether Group is this group or lies inside it at any depth.
    bool Contains(const TdxBarGroup* Group) const;

    // The customizing window lists the groups by name.
    void SetName(const std::string& NewName) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DefineProperties(TFiler& Filer) override;
    void ReadState(TReader& Reader) override;
    bool HasParent() const override { return barManager_ != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

private:
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    void SetBarManager(TdxBarManager* Value);

    TdxBarManager* barManager_ = nullptr;
    bool enabled_ = true;
    std::vector<TComponent*> items_;
    // The member names read from a stream, resolved once the whole form is read.
    std::unique_ptr<std::vector<std::string>> loadedItemNames_;
    TdxBarItemVisible visible_ = ivAlways;
};
