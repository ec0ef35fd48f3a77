// Item controls: the click path, selection, measuring and drawing of buttons and sub-item entries.
#include "bars/windows/item_control.h"

#include <algorithm>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/sub_menu_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/shortcut.h"

namespace bars {

namespace {

int TextWidth(HFONT font, const std::string& text) {
    const pw::gdi::MemoryDC dc(nullptr);
    const pw::gdi::SelectedObject selected(dc.Get(), font);
    SIZE size{0, 0};
    GetTextExtentPoint32(dc.Get(), text, &size);
    return size.cx;
}

} // namespace

std::unique_ptr<ItemControl> CreateButtonControl(TdxBarItemLink* Link) {
    return std::make_unique<TdxBarButtonControl>(Link);
}

TdxBarItemControl::TdxBarItemControl(TdxBarItemLink* ALink)
    : link_(ALink),
      parent_(dynamic_cast<TCustomdxBarControl*>(ALink != nullptr ? ALink->BarControl() : nullptr)) {}

TdxBarItemControl::~TdxBarItemControl() {
    // Nothing may keep pointing here: the manager's selection (which the hint reads), the window's
    // selected and pressed control, and the capture a press holds.
    TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
    if (manager != nullptr) manager->ForgetSelectedItem(this);
    if (parent_ != nullptr && IsBarControl(static_cast<BarControl*>(parent_)))
        parent_->ControlDestroying(this);
    ClearObjectLinks(this);
}

BarControl* TdxBarItemControl::Parent() const {
    return parent_;
}

BarPaintView& TdxBarItemControl::ParentView() const {
    return *parent_;
}

const TdxBarItemControlPainter& TdxBarItemControl::Painter() const {
    return parent_->Painter();
}

TdxBarItem* TdxBarItemControl::Item() const {
    return link_ != nullptr ? link_->Item() : nullptr;
}

RECT TdxBarItemControl::Bounds() const {
    return link_ != nullptr ? link_->ItemRect() : RECT{0, 0, 0, 0};
}

bool TdxBarItemControl::OnToolbar() const {
    return parent_ != nullptr && parent_->IsToolbar();
}

RECT TdxBarItemControl::ScreenRect() const {
    RECT r = Bounds();
    if (parent_ != nullptr && parent_->Handle() != nullptr) MapWindowPoints(parent_->Handle(), nullptr, r);
    return r;
}

bool TdxBarItemControl::IsSelected() const {
    return parent_ != nullptr && parent_->Selected() == this && (GetEnabled() || !selectedByMouse_);
}

bool TdxBarItemControl::CanSelect() const {
    return parent_ == nullptr || !parent_->IsCustomizing();
}

void TdxBarItemControl::Repaint() {
    if (parent_ != nullptr && !parent_->DestroyingControls()) parent_->RepaintControl(this);
}

void TdxBarItemControl::EnabledChanged() {
    if (!GetEnabled() && parent_ != nullptr && parent_->Selected() == this)
        parent_->SetSelectedItemControl(nullptr);
    Repaint();
}

void TdxBarItemControl::CaptionChanged() {
    if (EffectiveAlign() == iaClient)
        Repaint();
    else if (parent_ != nullptr)
        parent_->RepaintBar();
}

void TdxBarItemControl::GlyphChanged() {
    Repaint();
}

void TdxBarItemControl::VisibleChanged() {
    if (parent_ != nullptr) parent_->RepaintBar();
}

void TdxBarItemControl::BeginGroupChanged() {
    if (parent_ != nullptr) parent_->RepaintBar();
}

void TdxBarItemControl::Realign() {
    if (parent_ != nullptr) parent_->RepaintBar();
}

void TdxBarItemControl::Remeasure() {
    if (parent_ != nullptr) parent_->RepaintBar();
}

void TdxBarItemControl::ButtonStyleChanged() {
    if (parent_ != nullptr) parent_->RepaintBar();
}

void TdxBarItemControl::PaintStyleChanged() {
    if (parent_ != nullptr) parent_->RepaintBar();
}

void TdxBarItemControl::DownChanged() {
    Repaint();
}

void TdxBarItemControl::DropDownEnabledChanged() {
    Repaint();
}

TdxBarItemAlign TdxBarItemControl::EffectiveAlign() const {
    if (parent_ != nullptr && Item() != nullptr &&
        parent_->IsLastControl(const_cast<TdxBarItemControl*>(this)))
        return Item()->Align();
    return iaLeft;
}

std::string TdxBarItemControl::GetCaption() const {
    return link_ != nullptr ? link_->Caption() : std::string();
}

bool TdxBarItemControl::GetEnabled() const {
    return Item() != nullptr && Item()->Enabled();
}

std::string TdxBarItemControl::GetHint() const {
    return Item() != nullptr ? Item()->Hint() : std::string();
}

TShortCut TdxBarItemControl::GetShortCut() const {
    return Item() != nullptr ? Item()->ShortCut() : scNone;
}

TBitmap* TdxBarItemControl::PaintGlyph() const {
    return link_ != nullptr ? link_->Glyph() : nullptr;
}

TCustomImageList* TdxBarItemControl::PaintImages() const {
    TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
    if (manager == nullptr) return nullptr;
    // Large pictures are for toolbar buttons only: a menu line's glyph column is sized for the small
    // ones, so a menu takes the small list (and shows nothing when there is none).
    const bool large = OnToolbar() && manager->LargeIcons() && manager->UseLargeImagesForLargeIcons() &&
                       manager->LargeImages() != nullptr;
    if (large) {
        if (GetEnabled()) return manager->LargeImages();
        return manager->DisabledLargeImages() != nullptr ? manager->DisabledLargeImages()
                                                         : manager->LargeImages();
    }
    TCustomImageList* small = manager->Images();
    if (!GetEnabled() && manager->DisabledImages() != nullptr) small = manager->DisabledImages();
    // A toolbar button without a small picture shows its large one made small; a menu line keeps
    // what it has.
    const int index = PaintImageIndex();
    if (OnToolbar() && index >= 0 && (small == nullptr || index >= small->Count()) &&
        manager->LargeImages() != nullptr && index < manager->LargeImages()->Count())
        return manager->SmallImagesFromLarge();
    return small;
}

int TdxBarItemControl::PaintImageIndex() const {
    return Item() != nullptr ? Item()->GetImageIndex() : -1;
}

RECT TdxBarItemControl::DroppedDownJoint() const {
    TCustomdxBarControl* child = GetChildBarControl();
    if (child == nullptr || child->Handle() == nullptr || parent_ == nullptr || parent_->Handle() == nullptr)
        return RECT{0, 0, 0, 0};
    RECT joint = child->GetJointRect(true);
    if (!IsRectEmpty(joint)) MapWindowPoints(nullptr, parent_->Handle(), joint);
    return joint;
}

bool TdxBarItemControl::HasPicture() const {
    if (TBitmap* glyph = PaintGlyph(); glyph != nullptr && !glyph->Empty()) return true;
    TCustomImageList* images = PaintImages();
    const int index = PaintImageIndex();
    return images != nullptr && index >= 0 && index < images->Count();
}

int TdxBarItemControl::GetWidthInBar() const {
    if (EffectiveAlign() == iaClient && OnToolbar() && !IsVerticalBarControl(parent_))
        return GetClientWidth();
    return GetWidth();
}

int TdxBarItemControl::GetHeightInBar() const {
    if (EffectiveAlign() == iaClient && OnToolbar() && IsVerticalBarControl(parent_))
        return IsRotatedBarControl(parent_) ? GetClientWidth() : GetClientHeight();
    return GetHeight();
}

void TdxBarItemControl::SetClicking(bool Value) {
    if (Value == clicking_) return;
    clicking_ = Value;
    if (!Value) Repaint();
}

bool TdxBarItemControl::IsMouseOverAndPressed() const {
    POINT p{0, 0};
    GetCursorPos(p);
    return PtInRect(ScreenRect(), p) && GetKeyState(VK_LBUTTON) < 0;
}

void TdxBarItemControl::ControlClick(bool ByMouse) {
    if (!GetEnabled()) return;
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    TCustomdxBarControl* parent = parent_;
    const TcxObjectLinkPtr window = MakeObjectLink(parent);
    BeforeClick(ByMouse);
    if (self->Ref == nullptr || window->Ref == nullptr || !parent->Alive() || !parent->FindLinkControl(this))
        return;
    PerformClick(ByMouse);
}

void TdxBarItemControl::ControlActivate(bool) {
    active_ = true;
}

void TdxBarItemControl::ControlInactivate(bool) {
    active_ = false;
}

void TdxBarItemControl::BeforeClick(bool) {}

void TdxBarItemControl::PerformClick(bool) {
    TdxBarItemLink* link = link_;
    TdxBarItemLink* master = link->MasterLink() != nullptr ? link->MasterLink() : link;
    TdxBarItem* item = Item();
    // Read first: what follows may free this control.
    const bool clickable = IsClickable();
    const bool closeMenus = CloseMenusOnClick();
    if (closeMenus) {
        master->Use(true);
        if (master != link) link->Use(true);
    }
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    auto* button = dynamic_cast<TdxBarButton*>(item);
    bool clickingSet = false;
    if ((button == nullptr || button->UnclickAfterDoing()) && !closeMenus) {
        SetClicking(true);
        clickingSet = true;
    }
    const TcxObjectLinkPtr itemAlive = MakeObjectLink(item);
    if (closeMenus) {
        // Closing the chain may free this control: the weak references decide what is touched later.
        if (TCustomdxBarControl* parent = parent_; parent != nullptr) parent->HideAll();
    }
    // The item's own click guards its handlers; this control is touched afterwards only when it lives.
    if (clickable && item != nullptr && itemAlive->Ref != nullptr) item->DirectClick();
    if (self->Ref != nullptr && clickingSet) SetClicking(false);
}

TdxBarButton* TdxBarButtonControl::Button() const {
    return dynamic_cast<TdxBarButton*>(Item());
}

bool TdxBarButtonControl::IsCheckItem() const {
    // On a toolbar a checked button showing only its caption is down by its face alone: a check mark
    // would be drawn over the caption.
    if (OnToolbar() && ShowsCaption() && !HasPicture()) return false;
    return Button() != nullptr && Button()->ButtonStyle() == bsChecked;
}

void TdxBarButtonControl::GlyphChanged() {
    if (link_ != nullptr && link_->PaintStyle() == psStandard && parent_ != nullptr)
        parent_->RepaintBar();
    else
        Repaint();
}

TdxBarButtonControl::~TdxBarButtonControl() {
    // A menu that outlives its button hands nothing back to it.
    if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(DropDownWindow());
        menu != nullptr && menu->DropDownOwner() == this)
        menu->SetDropDownOwner(nullptr);
}

TCustomdxBarControl* TdxBarButtonControl::DropDownWindow() const {
    TdxBarButton* button = Button();
    if (!droppedDown_ || button == nullptr || button->DropDownMenu() == nullptr) return nullptr;
    return dynamic_cast<TCustomdxBarControl*>(button->DropDownMenu()->ItemLinks()->BarControl());
}

TCustomdxBarControl* TdxBarButtonControl::GetChildBarControl() const {
    return DropDownWindow();
}

void TdxBarButtonControl::ControlInactivate(bool Immediately) {
    TdxBarItemControl::ControlInactivate(Immediately);
    if (!droppedDown_) return;
    // The button closes its own menu: the menu must not hand the close back (that would end the whole
    // chain when only the selection moved on).
    if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(DropDownWindow())) {
        const TcxObjectLinkPtr self = MakeObjectLink(this);
        menu->SetDropDownOwner(nullptr);
        menu->FreeMenu();
        if (self->Ref == nullptr) return;
    }
    CloseUp();
}

void TdxBarButtonControl::CloseUp() {
    droppedDown_ = false;
    if (auto* toolbar = dynamic_cast<TdxBarControl*>(parent_)) toolbar->SetMenuOpened(false);
    Repaint();
}

void TdxBarButtonControl::DropDown(bool ByMouse) {
    TdxBarButton* button = Button();
    if (droppedDown_ || !GetEnabled() || button == nullptr || !button->DropDownEnabled() ||
        button->DropDownMenu() == nullptr || parent_ == nullptr)
        return;
    droppedDown_ = true;
    if (!active_) ControlActivate(true);
    Repaint();
    const RECT r = Bounds();
    POINT p{r.left, r.bottom};
    if (!parent_->IsToolbar())
        p = POINT{r.right, r.top - Painter().GetSubMenuBorderSize()};
    else if (IsVerticalBarControl(parent_))
        p = POINT{r.right, r.top};
    if (parent_->Handle() != nullptr) ClientToScreen(parent_->Handle(), p);
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    button->DropDown(this, p.x, p.y, ByMouse);
    if (self->Ref != nullptr && Painter().IsArrowButtonSeparate()) Repaint();
}

void TdxBarButtonControl::BeforeClick(bool ByMouse) {
    TdxBarButton* button = Button();
    if (button == nullptr) return;
    // A press on the button while its menu shows closes the menu; the bar keeps the press.
    if (droppedDown_ && ByMouse && IsMouseOverAndPressed()) {
        if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(DropDownWindow())) menu->FreeMenu();
        return;
    }
    if (button->ButtonStyle() == bsDropDown && ByMouse && IsMouseOverAndPressed()) {
        POINT p{0, 0};
        GetCursorPos(p);
        if (p.x >= ScreenRect().right - GetDropDownArrowWidth()) {
            DropDown(true);
            return;
        }
    }
    if (!OnToolbar() && button->ButtonStyle() != bsDropDown) return;
    Repaint();
}

void TdxBarButtonControl::PerformClick(bool ByMouse) {
    if (droppedDown_) return;
    TdxBarButton* button = Button();
    const TcxObjectLinkPtr self = MakeObjectLink(this);
    if (button != nullptr && button->ButtonStyle() == bsChecked) button->SetDown(!button->Down());
    if (self->Ref == nullptr) return;
    ControlInactivate(true);
    TdxBarItemControl::PerformClick(ByMouse);
}

bool TdxBarButtonControl::IsSelected() const {
    return (TdxBarItemControl::IsSelected() && !(parent_ != nullptr && parent_->IsCustomizing())) ||
           clicking_;
}

void TdxBarButtonControl::KeyDown(WORD Key) {
    if (Key >= VK_UP && Key <= VK_DOWN && Key != VK_LEFT) DropDown(false);
}

bool TdxBarButtonControl::WantsKey(WORD Key) const {
    if (Button() == nullptr || Button()->ButtonStyle() != bsDropDown) return false;
    return OnToolbar() ? Key == VK_UP || Key == VK_DOWN : Key == VK_RIGHT;
}

bool TdxBarButtonControl::CloseMenusOnClick() const {
    if (OnToolbar()) return true;
    return Button() == nullptr || Button()->CloseSubMenuOnClick();
}

TdxBarPaintStyle TdxBarButtonControl::EffectivePaintStyle() const {
    TdxBarPaintStyle style = link_ != nullptr ? link_->PaintStyle() : psStandard;
    if (OnToolbar() && style == psStandard && !HasPicture()) style = psCaption;
    return style;
}

bool TdxBarButtonControl::ShowsCaption() const {
    const TdxBarPaintStyle style = EffectivePaintStyle();
    return OnToolbar() && (style == psCaption || style == psCaptionGlyph);
}

int TdxBarButtonControl::GetDropDownArrowWidth() const {
    TdxBarManager* manager = link_ != nullptr ? link_->BarManager() : nullptr;
    return manager != nullptr ? manager->ButtonArrowWidthMetric() : 11;
}

int TdxBarButtonControl::CalcDefaultHeight() const {
    TdxBarManager* manager = link_->BarManager();
    int height = parent_->TextSize();
    if (!OnToolbar()) {
        Painter().AdjustItemHeight(height);
    } else {
        const TdxBarPaintStyle style = EffectivePaintStyle();
        const int button = IsRotatedBarControl(parent_) ? manager->ButtonWidth() : manager->ButtonHeight();
        if (style == psStandard || style == psCaptionInMenu)
            height = manager->ButtonHeight();
        else if (HasPicture())
            height = std::max(height, button);
        // A caption alone is a line of text, as a menu bar's entry: a row of them is no taller than the
        // menu bar for pictures none of them has.
    }
    if (Button() != nullptr && Button()->Lowered()) height += 2 * Painter().GetButtonBorderSize();
    return height;
}

int TdxBarButtonControl::CaptionWidth() const {
    if (captionWidth_ < 0) captionWidth_ = TextWidth(parent_->GetFontHandle(), StripAmpersands(GetCaption()));
    return captionWidth_;
}

int TdxBarButtonControl::CalcDefaultWidth() const {
    TdxBarManager* manager = link_->BarManager();
    const int caption = CaptionWidth();
    int width = 0;
    if (!OnToolbar()) {
        width = caption + 2 * parent_->TextSize() + 6;
        if (const std::string shortCut = ShortCutText(); !shortCut.empty())
            width += TextWidth(parent_->GetFontHandle(), shortCut) + parent_->TextSize() - 6;
        Painter().AdjustItemWidth(width);
    } else {
        const TdxBarPaintStyle style = EffectivePaintStyle();
        if (style == psStandard || style == psCaptionInMenu)
            width = manager->ButtonWidth();
        else if (style == psCaptionGlyph)
            width = caption + 4 +
                    (IsRotatedBarControl(parent_) ? manager->ButtonHeight() : manager->ButtonWidth());
        else
            width = caption + manager->Font()->Size();
    }
    if (Button() != nullptr && Button()->Lowered()) width += 2 * Painter().GetButtonBorderSize();
    return width;
}

int TdxBarButtonControl::GetHeight() const {
    if (IsRotatedBarControl(parent_) && ShowsCaption()) return CalcDefaultWidth();
    return CalcDefaultHeight();
}

int TdxBarButtonControl::GetWidth() const {
    int width = IsRotatedBarControl(parent_) && ShowsCaption() ? CalcDefaultHeight() : CalcDefaultWidth();
    if (OnToolbar() && Button() != nullptr && Button()->ButtonStyle() == bsDropDown)
        width += GetDropDownArrowWidth();
    return width;
}

std::string TdxBarButtonControl::ShortCutText() const {
    const TShortCut shortCut = GetShortCut();
    return shortCut != scNone ? ShortCutToText(shortCut) : std::string();
}

void TdxBarButtonControl::DrawMenuLine(HDC DC, const RECT& R) {
    const TdxBarItemControlPainter& painter = Painter();
    TdxBarButton* button = Button();
    ItemState state;
    state.Selected = IsSelected();
    state.Down = button != nullptr && button->ButtonStyle() == bsChecked && button->Down();
    state.Enabled = GetEnabled();
    state.InMenu = true;
    painter.DrawButtonBackground(*this, DC, state, R);
    const std::string shortCut = ShortCutText();
    if (shortCut.empty()) return;
    RECT text = R;
    text.right -= parent_->TextSize() + 5;
    painter.DrawItemText(*this, DC, shortCut, text, 2, state.Enabled, state.Selected, false,
                         !IsHighContrastWhite());
}

void TdxBarButtonControl::Draw(HDC DC, const RECT& R, int PaintType) {
    if (R.right <= R.left) return;
    const TdxBarItemControlPainter& painter = Painter();
    TdxBarButton* button = Button();
    RECT r = R;
    if (button != nullptr && button->Lowered()) painter.DrawLoweredFrame(*this, DC, r);
    if (PaintType == 1) {
        DrawMenuLine(DC, r);
        return;
    }
    const bool dropDown = button != nullptr && button->ButtonStyle() == bsDropDown;
    RECT arrow = r;
    if (dropDown && PaintType != 1) {
        r.right -= GetDropDownArrowWidth();
        arrow.left = r.right;
    }
    const bool selected = IsSelected();
    // Held down by the mouse while the pointer is over it, or running its handler.
    const bool held = parent_->PressedControl() == this && parent_->PressedControlHot();
    ItemState state;
    state.Selected = selected;
    state.Down = button != nullptr && button->ButtonStyle() == bsChecked && button->Down();
    state.Pressed =
        (held && !droppedDown_) || (clicking_ && !(button != nullptr && button->ButtonStyle() == bsChecked));
    state.Enabled = GetEnabled();
    state.DroppedDown = droppedDown_;
    TdxBarManager* manager = link_->BarManager();
    const TdxBarPaintStyle style = EffectivePaintStyle();
    // On a bar that turns its captions the glyph stands above the caption, which runs downwards.
    const bool turned = IsRotatedBarControl(parent_);
    RECT area = r;
    if (style == psCaptionGlyph && turned)
        area.bottom = std::min(r.bottom, r.top + manager->ButtonHeight());
    else if (style == psCaptionGlyph)
        area.right = std::min(r.right, r.left + manager->ButtonWidth());
    painter.DrawGlyph(*this, DC, area, state, &r);
    if (ShowsCaption()) {
        RECT text = r;
        const int indent = manager->Font()->Size() / 2;
        if (turned)
            text.top += style == psCaptionGlyph ? manager->ButtonHeight() : indent;
        else
            text.left += style == psCaptionGlyph ? manager->ButtonWidth() : indent;
        painter.OffsetPressedContent(state, text);
        painter.DrawItemText(*this, DC, GetCaption(), text, 0, state.Enabled,
                             selected && painter.IsButtonHotTracked(), false, true);
    }
    if (dropDown && PaintType != 1) {
        ItemState arrowState = state;
        arrowState.Pressed = droppedDown_;
        painter.DrawDropDownButton(*this, DC, arrowState, false, painter.GetButtonBrush(*this, 0, arrowState),
                                   arrow);
    }
}

} // namespace bars
