// The main window's menu bar, toolbar and the result tree's popup menu: the bar manager and its items,
// built with the values the window's form stores for them, their handlers bound.
#include "app/main_form.h"

#include <algorithm>
#include <initializer_list>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "app/menu_texts.h"
#include "app/results/result_tree.h"
#include "app/site_map_run.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/keys.h"
#include "platform/rtl/exception.h"
#include "platform/vcl/application.h"
#include "platform/vcl/shortcut.h"

namespace {

// One link of a bar, menu or popup menu: the item, and whether a separator stands before it.
struct Entry {
    TdxBarItem* item;
    bool beginGroup = false;
};

void Link(TdxBarItemLinks* links, std::initializer_list<Entry> entries) {
    for (const Entry& entry : entries) {
        TdxBarItemLink* link = links->Add();
        link->SetItem(entry.item);
        link->SetBeginGroup(entry.beginGroup);
    }
}

// The hint the form keeps for a command: its caption without the accelerator mark and the ellipsis, as
// the item made it when the caption was typed in.
std::string HintOf(std::string caption) {
    if (const size_t amp = caption.find('&'); amp != std::string::npos) caption.erase(amp, 1);
    if (const size_t dots = caption.find("..."); dots != std::string::npos) caption.erase(dots, 3);
    return caption;
}

// A command of the main window. On the toolbar its caption shows its letter underlined, as in the menu,
// but Alt with a letter belongs to the menu bar and then to the controls of the page: never to both a
// toolbar button and a wizard button ("&Save").
class MainCommand : public TdxBarButton {
public:
    using TdxBarButton::TdxBarButton;
    bool HasAccel(TdxBarItemLink* ALink) const override {
        return TdxBarButton::HasAccel(ALink) &&
               (ALink == nullptr || dynamic_cast<TdxBar*>(ALink->Owner()) == nullptr);
    }
};

// The toolbar's 32-pixel pictures, in the order of the indices BuildBars gives its commands; the
// magenta of the strip is their clear part. A missing strip leaves the buttons with their captions.
TImageList* ToolbarImages(TComponent* Owner) {
    auto* images = new TImageList(32, 32, Owner);
    images->SetName("ilToolbar");
    try {
        TBitmap strip;
        strip.LoadFromResourceName(nullptr, "QMPWTOOLBAR");
        images->AddMasked(&strip, static_cast<TColor>(0xFF00FF));
    } catch (const Exception& e) {
        std::cerr << "pathweaver: " << e.Message() << '\n';
    }
    return images;
}

enum ToolbarImage : int { tiOpen, tiSave, tiSaveAs, tiOptions, tiFtpUpload, tiHelp };

} // namespace

void TfrmSiteMapMain::BuildBars() {
    // Everything is marked as being read, as the form's stream would read it, and finishes loading at
    // the end in the order the stream would.
    std::vector<TComponent*> loaded;
    dxBarManager1 = new TdxBarManager(this);
    dxBarManager1->Loading();
    loaded.push_back(dxBarManager1);
    dxBarManager1->SetName("dxBarManager1");
    dxBarManager1->SetStyle(bmsFlat);
    dxBarManager1->SetLargeIcons(true);
    // The toolbar shows its own large pictures; a disabled command's picture is greyed from the same
    // one when drawn.
    dxBarManager1->SetLargeImages(ToolbarImages(this));
    dxBarManager1->SetUseLargeImagesForLargeIcons(true);
    // Hints name a command's shortcut as the customizing window's option says, not as the application's
    // own switch for its controls' hints (on by default) would.
    dxBarManager1->SetShowShortCutInHint(true);
    if (Application != nullptr) Application->SetHintShortCuts(false);
    // The user's layout of the bars (moved, made, customized) comes back from the program's settings
    // store as the manager finishes loading, and goes there as the window goes.
    dxBarManager1->SetRegistryPath(mainwin::kBarsRegistryPath);
    dxBarManager1->SetStoreInRegistry(true);

    auto button = [&](const char* name, const char* caption, void (TfrmSiteMapMain::*handler)(TObject*),
                      TShortCut shortCut = scNone) {
        auto* item = new MainCommand(this);
        item->Loading();
        loaded.push_back(item);
        item->SetName(name);
        item->SetCaption(caption);
        item->SetHint(HintOf(caption));
        item->SetCategory(0);
        item->SetShortCut(shortCut);
        item->SetOnClick([this, handler](TObject* sender) { (this->*handler)(sender); });
        return item;
    };
    auto subItem = [&](const char* name, const char* caption) {
        auto* item = new TdxBarSubItem(this);
        item->Loading();
        loaded.push_back(item);
        item->SetName(name);
        item->SetCaption(caption);
        item->SetCategory(0);
        return item;
    };
    mnuFile = subItem("mnuFile", menu_text::File);
    miOpen = button("miOpen", menu_text::Open, &TfrmSiteMapMain::miOpenClick, ShortCut('O', {ssCtrl}));
    miSave = button("miSave", menu_text::Save, &TfrmSiteMapMain::miSaveClick, ShortCut('S', {ssCtrl}));
    miSaveAs = button("miSaveAs", menu_text::SaveAs, &TfrmSiteMapMain::miSaveAsClick,
                      ShortCut('S', {ssCtrl, ssShift}));
    miExit = button("miExit", menu_text::Exit, &TfrmSiteMapMain::miExitClick);
    mnuTools = subItem("mnuTools", menu_text::Tools);
    // Alt+P opens the options from every page, as the wizard's Options button does on the first one.
    miOptions =
        button("miOptions", menu_text::Options, &TfrmSiteMapMain::miOptionsClick, ShortCut('P', {ssAlt}));
    miFTP = button("miFTP", menu_text::FtpUpload, &TfrmSiteMapMain::miFTPClick);
    miFTP->SetEnabled(false);
    mnuHelp = subItem("mnuHelp", menu_text::Help);
    miHelp = button("miHelp", menu_text::HelpContents, &TfrmSiteMapMain::miHelpClick);
    for (auto [item, image] :
         {std::pair{miOpen, tiOpen}, std::pair{miSave, tiSave}, std::pair{miSaveAs, tiSaveAs},
          std::pair{miOptions, tiOptions}, std::pair{miFTP, tiFtpUpload}, std::pair{miHelp, tiHelp}}) {
        // On the toolbar each shows its picture with its caption beside it.
        item->SetImageIndex(image);
        item->SetPaintStyle(psCaptionGlyph);
    }
    miHelpOnline = button("miHelpOnline", menu_text::HelpOnline, &TfrmSiteMapMain::miHelpOnlineClick);
    miSupport = button("miSupport", menu_text::Support, &TfrmSiteMapMain::miSupportClick);
    miAbout = button("miAbout", menu_text::About, &TfrmSiteMapMain::miAboutClick);
    Link(mnuFile->ItemLinks(), {{miOpen}, {miSave}, {miSaveAs}, {miExit, true}});
    Link(mnuTools->ItemLinks(), {{miOptions}, {miFTP, true}});
    Link(mnuHelp->ItemLinks(), {{miHelp}, {miHelpOnline}, {miSupport}, {miAbout, true}});

    // The result tree's commands run on the node the popup menu was opened on.
    auto treeCommand = [&](const char* name, const char* caption,
                           void (results::TResultTree::*handler)(TObject*)) {
        auto* item = new TdxBarButton(this);
        item->Loading();
        loaded.push_back(item);
        item->SetName(name);
        item->SetCaption(caption);
        item->SetHint(HintOf(caption));
        item->SetCategory(0);
        item->SetOnClick([this, handler](TObject* sender) { (run_->Tree().*handler)(sender); });
        return item;
    };
    miAddIgnoreFolder = treeCommand("miAddIgnoreFolder", menu_text::AddFolderToIgnoreList,
                                    &results::TResultTree::miAddIgnoreFolderClick);
    miIgnoreFile =
        treeCommand("miIgnoreFile", menu_text::AddFileToIgnoreList, &results::TResultTree::miIgnoreFileClick);
    miDelete = treeCommand("miDelete", menu_text::DeleteItem, &results::TResultTree::miDeleteClick);
    miRename = treeCommand("miRename", menu_text::EditItemText, &results::TResultTree::miRenameClick);
    miProperties =
        treeCommand("miProperties", menu_text::Properties, &results::TResultTree::miPropertiesClick);

    barMainMenu = dxBarManager1->Bars()->Add();
    barMainToolbar = dxBarManager1->Bars()->Add();
    for (TdxBar* bar : {barMainMenu, barMainToolbar}) {
        bar->SetAllowClose(false);
        bar->SetAllowCustomizing(false);
        bar->SetAllowQuickCustomizing(false);
        bar->SetAllowReset(false);
        bar->SetDockingStyle(dsTop);
        bar->SetVisible(true);
    }
    barMainMenu->SetCaption(menu_text::MainMenu);
    barMainMenu->SetName(menu_text::MainMenu);
    barMainMenu->SetIsMainMenu(true);
    Link(barMainMenu->ItemLinks(), {{mnuFile}, {mnuTools}, {mnuHelp}});
    barMainToolbar->SetCaption(menu_text::MainToolbar);
    barMainToolbar->SetName(menu_text::MainToolbar);
    barMainToolbar->SetRow(1);
    Link(barMainToolbar->ItemLinks(),
         {{miOpen}, {miSave}, {miSaveAs}, {miOptions, true}, {miFTP}, {miHelp, true}});

    pumResults = new TdxBarPopupMenu(this);
    pumResults->Loading();
    loaded.push_back(pumResults);
    pumResults->SetName("pumResults");
    Link(pumResults->ItemLinks(),
         {{miAddIgnoreFolder}, {miIgnoreFile}, {miDelete, true}, {miRename}, {miProperties, true}});

    for (TComponent* component : loaded)
        component->Loaded();
    // The two bars cannot be closed: a stored layout that hides them was cut short or damaged (an
    // older build wrote a bar count before the bars), and the window keeps them as it has them.
    for (TdxBar* bar : {barMainMenu, barMainToolbar})
        if (!bar->Visible()) {
            bar->SetDockingStyle(dsTop);
            bar->SetVisible(true);
        }
    MakeRoomForBars();
}

void TfrmSiteMapMain::MakeRoomForBars() {
    // The bars dock along the top of the window, above the wizard: its controls move down by the
    // height of the dock and the window grows by as much. Afterwards the wizard follows the dock as
    // bars leave it or come back.
    bars::DockControl* site = dxBarManager1->Bars()->DockControls(dsTop);
    auto* dock = site != nullptr ? dynamic_cast<TControl*>(site->Component()) : nullptr;
    if (dock == nullptr) return;
    const int height = dock->Height();
    if (height > 0) {
        for (int i = 0; i < ControlCount(); ++i)
            if (TControl* control = Controls(i); control->Align() == alNone)
                control->SetTop(control->Top() + height);
        SetClientHeight(ClientHeight() + height);
    }
    barsRoom_ = height;
    dock->OnResize = [this, dock](TObject*) { FollowBarsDock(dock->Height()); };
    // Bars the stored layout put at the other edges make room the same way: the wizard moves away from
    // them and the window grows by as much.
    if (bars::DockControl* bottomSite = dxBarManager1->Bars()->DockControls(dsBottom)) {
        if (auto* bottom = dynamic_cast<TControl*>(bottomSite->Component())) {
            barsBottom_ = 0;
            if (const int grown = bottom->Height(); grown > 0) {
                FollowBottomDock(grown);
                SetClientHeight(ClientHeight() + grown);
            }
            bottom->OnResize = [this, bottom](TObject*) { FollowBottomDock(bottom->Height()); };
        }
    }
    for (TdxBarDockingStyle side : {dsLeft, dsRight}) {
        bars::DockControl* sideSite = dxBarManager1->Bars()->DockControls(side);
        auto* sideDock = sideSite != nullptr ? dynamic_cast<TControl*>(sideSite->Component()) : nullptr;
        if (sideDock == nullptr) continue;
        (side == dsLeft ? barsLeft_ : barsRight_) = 0;
        if (const int grown = sideDock->Width(); grown > 0) {
            FollowSideDock(side == dsLeft, grown);
            SetClientWidth(ClientWidth() + grown);
        }
        sideDock->OnResize = [this, side, sideDock](TObject*) {
            FollowSideDock(side == dsLeft, sideDock->Width());
        };
    }
}

void TfrmSiteMapMain::FollowBottomDock(int DockHeight) {
    const int delta = DockHeight - barsBottom_;
    if (delta == 0 || ComponentState().Contains(csDestroying)) return;
    barsBottom_ = DockHeight;
    // The wizard's bottom edge moves with the dock's top edge: what stands on the bottom moves, what is
    // held at both ends shrinks or stretches.
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        const TAnchors anchors = control->Anchors();
        if (control->Align() != alNone || !anchors.Contains(akBottom)) continue;
        if (anchors.Contains(akTop))
            control->SetHeight(std::max(0, control->Height() - delta));
        else
            control->SetTop(control->Top() - delta);
    }
    // The window keeps room for the whole wizard above the dock.
    if (Constraints().MinHeight() > 0) {
        Constraints().SetMinHeight(std::max(0, Constraints().MinHeight() + delta));
        if (Height() < Constraints().MinHeight()) SetHeight(Constraints().MinHeight());
    }
}

void TfrmSiteMapMain::FollowSideDock(bool Left, int DockWidth) {
    int& room = Left ? barsLeft_ : barsRight_;
    const int delta = DockWidth - room;
    if (delta == 0 || ComponentState().Contains(csDestroying)) return;
    room = DockWidth;
    // The edge held to the dock moves with it: a control held at both sides keeps its other edge.
    const TAnchorKind near = Left ? akLeft : akRight, far = Left ? akRight : akLeft;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        const TAnchors anchors = control->Anchors();
        if (control->Align() != alNone || !anchors.Contains(near)) continue;
        const int left = control->Left() + (Left ? delta : 0);
        const int width = anchors.Contains(far) ? std::max(0, control->Width() - delta) : control->Width();
        control->SetBounds(anchors.Contains(far) || Left ? left : control->Left() - delta, control->Top(),
                           width, control->Height());
    }
    // The window keeps room for the whole wizard beside the docks.
    if (Constraints().MinWidth() > 0) {
        Constraints().SetMinWidth(std::max(0, Constraints().MinWidth() + delta));
        if (Width() < Constraints().MinWidth()) SetWidth(Constraints().MinWidth());
    }
}

void TfrmSiteMapMain::FollowBarsDock(int Height) {
    const int delta = Height - barsRoom_;
    if (delta == 0 || ComponentState().Contains(csDestroying)) return;
    barsRoom_ = Height;
    // The wizard's top edge moves with the dock's bottom edge: what hangs from the top moves, what is
    // held at both ends stretches or shrinks, what sits at the bottom stays.
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        const TAnchors anchors = control->Anchors();
        if (control->Align() != alNone || !anchors.Contains(akTop)) continue;
        if (anchors.Contains(akBottom))
            control->SetBounds(control->Left(), control->Top() + delta, control->Width(),
                               std::max(0, control->Height() - delta));
        else
            control->SetTop(control->Top() + delta);
    }
    // The smallest window still shows every control whole: a dock that grows may make the window grow.
    if (Constraints().MinHeight() > 0)
        Constraints().SetMinHeight(std::max(0, Constraints().MinHeight() + delta));
}

void TfrmSiteMapMain::SetFtpEnabled(bool Value) {
    if (miFTP != nullptr) miFTP->SetEnabled(Value);
}

bool TfrmSiteMapMain::FtpEnabled() const {
    return miFTP != nullptr && miFTP->Enabled();
}

void TfrmSiteMapMain::ResultMenuPopup(const results::ResultMenuState& State) {
    miAddIgnoreFolder->SetEnabled(State.AddFolderToIgnoreList);
    miIgnoreFile->SetEnabled(State.AddFileToIgnoreList);
    miDelete->SetEnabled(State.Delete);
    miRename->SetEnabled(State.EditText);
    pumResults->PopupAtCursor();
}
