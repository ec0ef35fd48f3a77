#pragma once
// The sub-menu editor: a small tool window that holds a sub-menu open beneath itself while the bars are
// customized, so that its links can be dragged, added and removed. The menu moves with the window,
// which cannot be resized; one editor exists at most.
#include <string>

#include "platform/vcl/form.h"

class TdxBarItemLinks;

namespace bars {

class BarControl;
class TdxBarSubMenuControl;

class TdxBarSubMenuEditor : public TForm {
public:
    TdxBarSubMenuEditor();
    ~TdxBarSubMenuEditor() override;
    std::string ClassName() const override { return "TdxBarSubMenuEditor"; }
    TdxBarItemLinks* ItemLinks() const { return itemLinks_; }
    // None frees the editor.
    void SetItemLinks(TdxBarItemLinks* Value);
    // The hosted menu, or nullptr.
    TdxBarSubMenuControl* Menu() const;
    // Opens the menu beneath the editor when it is not open.
    void FormActivate();
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Activate() override;
    void DoClose(TCloseAction& Action) override;

private:
    void CloseMenu();
    void MenuFollows();

    TdxBarItemLinks* itemLinks_ = nullptr;
    // Told when it goes, so the links are never read after it.
    TComponent* linksOwner_ = nullptr;
    int menuWidth_ = 0;
};

// Enters customizing mode for the links' manager, turns the customizing window to its commands and
// opens the editor on the links (or turns the open one to them).
void ShowSubMenuEditor(TdxBarItemLinks* ItemLinks);
TdxBarSubMenuEditor* GetSubMenuEditor();
void FreeSubMenuEditor();
// Frees the editor's menu from the loop when Menu is it and the selection has not come back to it.
void CloseSubMenuEditorMenuLater(BarControl* Menu);

} // namespace bars
