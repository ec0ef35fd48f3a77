#include "bars/core/system_menu_item.h"

#include <memory>
#include <string>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/menus.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "platform/vcl/shortcut.h"

namespace {

// The glyphs of the window commands: black strokes on a button-face square whose corner pixel is the
// transparent colour.
std::unique_ptr<TBitmap> CommandGlyph(HBITMAP Predefined) {
    auto glyph = std::make_unique<TBitmap>();
    glyph->SetSize(16, 16);
    const pw::gdi::MemoryDC memory(nullptr, glyph->Handle());
    HDC dc = memory.Get();
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, pw::gdi::OwnedObject<HBRUSH>(CreateSolidBrush(RGB(255, 0, 255))).Get());
    const pw::gdi::OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    const pw::gdi::SelectedObject selectedPen(dc, pen.Get());
    auto line = [dc](int x1, int y1, int x2, int y2) {
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    };
    auto box = [&](int l, int t, int r, int b) {
        line(l, t, r, t);
        line(l, t + 1, r, t + 1);
        line(r, t, r, b);
        line(r, b, l, b);
        line(l, b, l, t);
    };
    if (Predefined == HBMMENU_POPUP_CLOSE) {
        for (int d = 0; d < 2; ++d) {
            line(4 + d, 4, 12 + d, 12);
            line(11 + d, 4, 3 + d, 12);
        }
    } else if (Predefined == HBMMENU_POPUP_MAXIMIZE) {
        box(3, 3, 12, 12);
    } else if (Predefined == HBMMENU_POPUP_MINIMIZE) {
        line(4, 11, 10, 11);
        line(4, 12, 10, 12);
    } else if (Predefined == HBMMENU_POPUP_RESTORE) {
        box(6, 3, 12, 9);
        box(3, 6, 9, 12);
    }
    return glyph;
}

bool IsCommandGlyph(HBITMAP Bitmap) {
    return Bitmap == HBMMENU_POPUP_CLOSE || Bitmap == HBMMENU_POPUP_RESTORE ||
           Bitmap == HBMMENU_POPUP_MAXIMIZE || Bitmap == HBMMENU_POPUP_MINIMIZE;
}

// A real bitmap handle (the predefined values and none are not).
bool IsBitmapHandle(HBITMAP Bitmap) {
    const auto value = reinterpret_cast<intptr_t>(Bitmap);
    return value > 0xFF;
}

void CopyBitmap(TBitmap* Glyph, HBITMAP Source) {
    if (!IsBitmapHandle(Source)) return;
    if (auto copy = static_cast<HBITMAP>(CopyImage(Source, IMAGE_BITMAP, 0, 0, 0))) Glyph->SetHandle(copy);
}

TdxBarManager* ManagerOf(TCustomdxBarSubItem* Item) {
    return Item != nullptr ? Item->BarManager() : nullptr;
}

} // namespace

void TSystemMenuSubItem::DirectClick() {
    bars::BuildSystemMenuItems(this);
    TCustomdxBarSubItem::DirectClick();
}

namespace bars {

void BuildMenuItems(TSystemMenuSubItem* Owner, TCustomdxBarSubItem* Item, HMENU Menu) {
    TdxBarManager* manager = ManagerOf(Item);
    const int count = GetMenuItemCount(Menu);
    bool beginGroup = false;
    for (int i = 0; i < count; ++i) {
        char text[1024] = {};
        MENUITEMINFO info;
        info.cbSize = sizeof(MENUITEMINFO);
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_BITMAP;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfo(Menu, static_cast<UINT>(i), TRUE_, info)) continue;
        if (info.fType & MFT_SEPARATOR) {
            beginGroup = true;
            continue;
        }
        std::string caption;
        if (info.fType & MFT_BITMAP) {
            char bitmapText[1024] = {};
            GetMenuString(Menu, static_cast<UINT>(i), bitmapText, sizeof bitmapText, MF_BYPOSITION);
            caption = bitmapText;
        } else {
            caption = text;
        }
        std::string shortCut;
        if (const size_t tab = caption.find('\t'); tab != std::string::npos) {
            shortCut = caption.substr(tab + 1);
            caption.erase(tab);
        }
        TdxBarItem* item = nullptr;
        if (info.hSubMenu != nullptr) {
            auto* sub = new TdxBarSubItem(Item->Owner());
            sub->SetBarManager(manager);
            TempItems().push_back(sub);
            BuildMenuItems(Owner, sub, info.hSubMenu);
            item = sub;
        } else {
            auto* button = new TdxBarButton(Item->Owner());
            button->SetBarManager(manager);
            TempItems().push_back(button);
            button->SetTag(static_cast<int32_t>(info.wID));
            if (info.fState & MFS_CHECKED) {
                button->SetButtonStyle(bsChecked);
                button->SetDown(true);
            }
            // The command goes to the window the menu belongs to, as its own menu would send it.
            button->SetOnClick([Owner, button](TObject*) {
                if (Owner->Window() != nullptr)
                    SendMessage(Owner->Window(), WM_SYSCOMMAND, static_cast<WPARAM>(button->Tag()), 0);
            });
            item = button;
        }
        item->SetCaption(caption);
        item->SetEnabled((info.fState & MFS_DISABLED) == 0);
        if (IsCommandGlyph(info.hbmpItem)) {
            item->SetGlyph(CommandGlyph(info.hbmpItem).get());
        } else {
            CopyBitmap(item->Glyph(), (info.fState & MFS_CHECKED) ? info.hbmpChecked : info.hbmpUnchecked);
            if (item->Glyph()->Empty() && (info.fType & MFT_BITMAP))
                CopyBitmap(item->Glyph(), reinterpret_cast<HBITMAP>(info.dwTypeData));
        }
        item->SetShortCut(TextToShortCut(shortCut));
        TdxBarItemLink* link = Item->ItemLinks()->Add();
        link->SetItem(item);
        link->SetBeginGroup(beginGroup);
        beginGroup = false;
    }
}

void BuildSystemMenuItems(TSystemMenuSubItem* Item) {
    // The entries made for the last opening go; the item itself stays, shown or not.
    Item->ItemLinks()->Clear();
    auto& temp = TempItems();
    const bool listed = std::erase(temp, Item) > 0;
    FreeUnlinkedTempItems();
    if (listed) TempItems().push_back(Item);
    if (HMENU menu = GetSystemMenu(Item->Window(), FALSE_)) BuildMenuItems(Item, Item, menu);
}

void AddSystemMenuItem(TdxBarManager* Manager, HWND Child) {
    TdxBar* bar = Manager != nullptr ? Manager->MainMenuBar() : nullptr;
    if (bar == nullptr || GetSystemMenu(Child, FALSE_) == nullptr) return;
    const bool locked = bar->RebuildLocked();
    bar->SetRebuildLocked(true);
    FreeUnlinkedTempItems();
    auto* item = new TSystemMenuSubItem(Manager->ParentForm());
    item->SetBarManager(Manager);
    TempItems().push_back(item);
    item->SetWindow(Child);
    TdxBarItemLink* link = bar->ItemLinks()->Add();
    link->SetItem(item);
    link->SetIndex(0);
    bar->SetRebuildLocked(locked);
}

void RemoveSystemMenuItem(TdxBarManager* Manager) {
    TdxBar* bar = Manager != nullptr ? Manager->MainMenuBar() : nullptr;
    if (bar == nullptr || bar->ItemLinks()->Count() == 0) return;
    TdxBarItemLink* first = bar->ItemLinks()->Items(0);
    if (dynamic_cast<TSystemMenuSubItem*>(first->Item()) == nullptr) return;
    const bool locked = bar->RebuildLocked();
    bar->SetRebuildLocked(true);
    delete first;
    FreeUnlinkedTempItems();
    bar->SetRebuildLocked(locked);
}

} // namespace bars
