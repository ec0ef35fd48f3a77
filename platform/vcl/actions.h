#pragma once
// Actions: commands that several clients (buttons, menu items) share. Each client holds an action link,
// through which the action's state reaches it and the client runs the action.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/vcl/shortcut.h"

class TBasicAction;

class TBasicActionLink : public TObject {
public:
    // A derived link keeps its own typed client.
    TBasicActionLink() = default;
    ~TBasicActionLink() override;
    std::string ClassName() const override { return "TBasicActionLink"; }

    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* Value);
    // Runs the action; false without an action or when it has nothing to run.
    virtual bool Execute(TComponent* AComponent = nullptr);
    virtual bool Update();

    // Whether the client's click handler is the action's; the client then follows it.
    virtual bool IsOnExecuteLinked() { return true; }
    virtual void SetOnExecute(const TNotifyEvent&) {}

    // Fired when the action's state changes.
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    friend class TBasicAction;
    TBasicAction* action_ = nullptr;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    std::string ClassName() const override { return "TBasicAction"; }

    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    // Runs OnUpdate; false when there is none.
    virtual bool Update();
    TComponent* ActionComponent() const { return actionComponent_; }
    void SetActionComponent(TComponent* Value) { actionComponent_ = Value; }

    const TNotifyEvent& OnExecute() const { return onExecute_; }
    // Every client whose handler follows the action gets the new one.
    void SetOnExecute(const TNotifyEvent& Value);
    TNotifyEvent OnUpdate;

    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);
    int ClientCount() const { return static_cast<int>(clients_.size()); }

protected:
    // Tells every client link that the action changed.
    void Change();
    const std::vector<TBasicActionLink*>& Clients() const { return clients_; }

private:
    std::vector<TBasicActionLink*> clients_;
    TNotifyEvent onExecute_;
    TComponent* actionComponent_ = nullptr;
};

class TActionLink;

class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    std::string ClassName() const override { return "TCustomAction"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return checked_; }
    void SetChecked(bool Value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int Value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);

    // Asked before a control shows the action's hint: it may change the text, or refuse the hint by
    // setting CanShow to false.
    std::function<void(std::string& HintStr, bool& CanShow)> OnHint;
    // Whether the hint may show (the handler's answer; true without one).
    bool DoHint(std::string& HintStr) {
        bool canShow = true;
        if (OnHint) OnHint(HintStr, canShow);
        return canShow;
    }

private:
    template <class F> void ForEachLink(F each);
    // Stores a new value: every client link hears it first, then the action reports its change.
    template <class T, class Tell> void Store(T& Field, const T& Value, Tell TellLink);

    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    int helpContext_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    TShortCut shortCut_ = scNone;
    bool visible_ = true;
};

// The link of a client that shows an action's caption, state and picture. Each Is...Linked says
// whether the client follows that property of the action; each Set... gives the client the new value.
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;
    std::string ClassName() const override { return "TActionLink"; }

    virtual bool IsCaptionLinked();
    virtual bool IsCheckedLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsHelpContextLinked();
    virtual bool IsHintLinked();
    virtual bool IsImageIndexLinked();
    virtual bool IsShortCutLinked();
    virtual bool IsVisibleLinked();

    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHelpContext(int) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

protected:
    TCustomAction* CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }
};
