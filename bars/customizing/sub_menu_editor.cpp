#include "bars/customizing/sub_menu_editor.h"

#include <memory>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/customizing/customizing_form.h"
#include "bars/windows/loop_call.h"
#include "bars/windows/sub_menu_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/page_control.h"

namespace bars {

namespace {
// The editor, one in the process at a time as the customizing window it serves.
TdxBarSubMenuEditor* subMenuEditor = nullptr;
} // namespace

TdxBarSubMenuEditor::TdxBarSubMenuEditor() : TForm(nullptr) {
    SetName("dxBarSubMenuEditor");
    SetTag(100);
    SetCaption(LoadBarString(barstr::SubMenuEditorCaption));
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetBounds(2, 105, 200, 30);
    SetClientWidth(196);
    SetClientHeight(0);
    if (TdxBarCustomizingForm* window = GetCustomizingForm()) Font().Assign(&window->Font());
    DoCreate();
}

TdxBarSubMenuEditor::~TdxBarSubMenuEditor() {
    CloseMenu();
    if (subMenuEditor == this) subMenuEditor = nullptr;
}

TdxBarSubMenuControl* TdxBarSubMenuEditor::Menu() const {
    return itemLinks_ != nullptr ? dynamic_cast<TdxBarSubMenuControl*>(itemLinks_->BarControl()) : nullptr;
}

void TdxBarSubMenuEditor::SetItemLinks(TdxBarItemLinks* Value) {
    if (Value == itemLinks_) return;
    CloseMenu();
    if (linksOwner_ != nullptr) linksOwner_->RemoveFreeNotification(this);
    itemLinks_ = Value;
    linksOwner_ = nullptr;
    if (Value == nullptr) {
        Release();
        return;
    }
    linksOwner_ = dynamic_cast<TComponent*>(Value->LinksOwner());
    if (linksOwner_ != nullptr) linksOwner_->FreeNotification(this);
}

void TdxBarSubMenuEditor::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    // The links and their menu are gone with their owner by now: the editor only lets go of them.
    if (Operation == opRemove && AComponent != nullptr && AComponent == linksOwner_) {
        itemLinks_ = nullptr;
        linksOwner_ = nullptr;
        Release();
    }
}

void TdxBarSubMenuEditor::FormActivate() {
    if (itemLinks_ == nullptr || Menu() != nullptr) return;
    // A drag that may not drop into this menu (its own item, or one holding it) does not open it.
    if (TdxBarManager* manager = itemLinks_->BarManager(); manager != nullptr && manager->DraggingItem())
        if (auto* owner = dynamic_cast<TCustomdxBarSubItem*>(itemLinks_->LinksOwner());
            owner != nullptr && !owner->CanContainItem(manager->DragItem()))
            return;
    auto* menu = dynamic_cast<TdxBarSubMenuControl*>(itemLinks_->CreateBarControl());
    if (menu == nullptr) return;
    menu->SetRequestedPos(POINT{Left(), Top() + Height()});
    menu->SetOwnerHeight(Height());
    menu->ShowMenu();
    RECT bounds{};
    if (menu->Handle() != nullptr) GetWindowRect(menu->Handle(), bounds);
    menuWidth_ = bounds.right - bounds.left;
    if (menuWidth_ > 0) SetWidth(menuWidth_);
}

void TdxBarSubMenuEditor::Activate() {
    TForm::Activate();
    FormActivate();
}

void TdxBarSubMenuEditor::CloseMenu() {
    if (TdxBarSubMenuControl* menu = Menu()) menu->FreeMenu();
}

void TdxBarSubMenuEditor::MenuFollows() {
    TdxBarSubMenuControl* menu = Menu();
    if (menu == nullptr || menu->Handle() == nullptr) return;
    SetWindowPos(menu->Handle(), nullptr, Left(), Top() + Height(), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TdxBarSubMenuEditor::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETMINMAXINFO:
        // Neither wider nor narrower than the menu beneath it, nor higher than its caption.
        if (MINMAXINFO* info = TWMGetMinMaxInfo(Message).MinMaxInfo(); info != nullptr && menuWidth_ > 0) {
            const POINT size{menuWidth_, Height()};
            info->ptMaxSize = info->ptMinTrackSize = info->ptMaxTrackSize = size;
            return;
        }
        break;
    case WM_NCLBUTTONDOWN:
        if (TWMNCHitMessage(Message).HitTest() == HTCLOSE)
            CloseMenu();
        else
            FormActivate();
        break;
    default:
        break;
    }
    TForm::WndProc(Message);
    if (Message.Msg == WM_MOVE) MenuFollows();
}

void TdxBarSubMenuEditor::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // Owned as the customizing window is, so it stays above the manager's form.
    if (TdxBarCustomizingForm* window = GetCustomizingForm())
        if (TCustomForm* form = window->BarManager()->ParentForm();
            form != nullptr && form->HandleAllocated())
            Params.WndParent = form->Handle();
}

void TdxBarSubMenuEditor::DoClose(TCloseAction& Action) {
    Action = caFree;
    TForm::DoClose(Action);
}

void ShowSubMenuEditor(TdxBarItemLinks* ItemLinks) {
    TdxBarManager* manager = ItemLinks->BarManager();
    manager->SetIsCustomizing(true);
    if (TdxBarCustomizingForm* window = GetCustomizingForm();
        window != nullptr && manager->IsCustomizingOrDesigning())
        window->PageControl->SetActivePage(window->TabSheet2);
    if (subMenuEditor == nullptr) subMenuEditor = new TdxBarSubMenuEditor;
    subMenuEditor->SetClientHeight(0);
    subMenuEditor->SetItemLinks(ItemLinks);
    subMenuEditor->Show();
    subMenuEditor->FormActivate();
}

TdxBarSubMenuEditor* GetSubMenuEditor() {
    return subMenuEditor;
}

void CloseSubMenuEditorMenuLater(BarControl* Menu) {
    TdxBarSubMenuControl* open = subMenuEditor != nullptr ? subMenuEditor->Menu() : nullptr;
    if (open == nullptr || static_cast<BarControl*>(open) != Menu) return;
    std::shared_ptr<TcxObjectLink> alive = MakeObjectLink(static_cast<TCustomdxBarControl*>(open));
    CallFromLoop([open, alive] {
        TdxBarSubMenuEditor* editor = GetSubMenuEditor();
        if (alive->Ref == nullptr || editor == nullptr || editor->Menu() != open) return;
        // Unless the selection came back to the menu meanwhile.
        TdxBarManager* manager = editor->ItemLinks()->BarManager();
        if (manager != nullptr && GetItemControlTopBarControl(manager->SelectedItem()) == open) return;
        open->FreeMenu();
    });
}

void FreeSubMenuEditor() {
    TdxBarSubMenuEditor* editor = subMenuEditor;
    subMenuEditor = nullptr;
    delete editor;
}

} // namespace bars
