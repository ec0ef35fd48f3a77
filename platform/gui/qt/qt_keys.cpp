#include "platform/gui/qt/qt_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QString>
#include <Qt>

#include "platform/gui/gui_state.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/qt/host_widget.h"
#include "platform/gui/window.h"

namespace pw::gui::qt {

BYTE VirtualKeyFromQt(int key, bool keypad) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<BYTE>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<BYTE>(keypad ? VK_NUMPAD0 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<BYTE>(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    // AltGr only chooses the characters of the keys after it (€, @ on a German keyboard), which arrive
    // with their text: as Alt, a tap of it would wake the menu bar and take the next keys.
    case Qt::Key_AltGr:
        return 0;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Print:
        return VK_SNAPSHOT;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Help:
        return VK_HELP;
    case Qt::Key_Meta:
        return VK_LWIN;
    case Qt::Key_Menu:
        return VK_APPS;
    case Qt::Key_NumLock:
        return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    case Qt::Key_Asterisk:
        return keypad ? VK_MULTIPLY : '8';
    case Qt::Key_Plus:
        return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period:
        return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash:
        return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return VK_OEM_1;
    case Qt::Key_Equal:
        return VK_OEM_PLUS;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return VK_OEM_COMMA;
    case Qt::Key_Underscore:
        return VK_OEM_MINUS;
    case Qt::Key_Greater:
        return VK_OEM_PERIOD;
    case Qt::Key_Question:
        return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return VK_OEM_7;
    case Qt::Key_Exclam:
        return '1';
    case Qt::Key_At:
        return '2';
    case Qt::Key_NumberSign:
        return '3';
    case Qt::Key_Dollar:
        return '4';
    case Qt::Key_Percent:
        return '5';
    case Qt::Key_AsciiCircum:
        return '6';
    case Qt::Key_Ampersand:
        return '7';
    case Qt::Key_ParenLeft:
        return '9';
    case Qt::Key_ParenRight:
        return '0';
    default:
        return 0;
    }
}

int QtKeyFromVirtualKey(BYTE vk, bool shift, bool& keypad) {
    keypad = false;
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + (vk - VK_F1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        keypad = true;
        return Qt::Key_0 + (vk - VK_NUMPAD0);
    }
    struct Pair {
        BYTE vk;
        int plain;
        int shifted;
    };
    static constexpr Pair kKeys[] = {
        {VK_BACK, Qt::Key_Backspace, Qt::Key_Backspace},
        {VK_TAB, Qt::Key_Tab, Qt::Key_Backtab},
        {VK_RETURN, Qt::Key_Return, Qt::Key_Return},
        {VK_SHIFT, Qt::Key_Shift, Qt::Key_Shift},
        {VK_CONTROL, Qt::Key_Control, Qt::Key_Control},
        {VK_MENU, Qt::Key_Alt, Qt::Key_Alt},
        {VK_PAUSE, Qt::Key_Pause, Qt::Key_Pause},
        {VK_CAPITAL, Qt::Key_CapsLock, Qt::Key_CapsLock},
        {VK_ESCAPE, Qt::Key_Escape, Qt::Key_Escape},
        {VK_SPACE, Qt::Key_Space, Qt::Key_Space},
        {VK_PRIOR, Qt::Key_PageUp, Qt::Key_PageUp},
        {VK_NEXT, Qt::Key_PageDown, Qt::Key_PageDown},
        {VK_END, Qt::Key_End, Qt::Key_End},
        {VK_HOME, Qt::Key_Home, Qt::Key_Home},
        {VK_LEFT, Qt::Key_Left, Qt::Key_Left},
        {VK_UP, Qt::Key_Up, Qt::Key_Up},
        {VK_RIGHT, Qt::Key_Right, Qt::Key_Right},
        {VK_DOWN, Qt::Key_Down, Qt::Key_Down},
        {VK_SNAPSHOT, Qt::Key_Print, Qt::Key_Print},
        {VK_INSERT, Qt::Key_Insert, Qt::Key_Insert},
        {VK_DELETE, Qt::Key_Delete, Qt::Key_Delete},
        {VK_HELP, Qt::Key_Help, Qt::Key_Help},
        {VK_LWIN, Qt::Key_Meta, Qt::Key_Meta},
        {VK_APPS, Qt::Key_Menu, Qt::Key_Menu},
        {VK_NUMLOCK, Qt::Key_NumLock, Qt::Key_NumLock},
        {VK_SCROLL, Qt::Key_ScrollLock, Qt::Key_ScrollLock},
        {VK_OEM_1, Qt::Key_Semicolon, Qt::Key_Colon},
        {VK_OEM_PLUS, Qt::Key_Equal, Qt::Key_Plus},
        {VK_OEM_COMMA, Qt::Key_Comma, Qt::Key_Less},
        {VK_OEM_MINUS, Qt::Key_Minus, Qt::Key_Underscore},
        {VK_OEM_PERIOD, Qt::Key_Period, Qt::Key_Greater},
        {VK_OEM_2, Qt::Key_Slash, Qt::Key_Question},
        {VK_OEM_3, Qt::Key_QuoteLeft, Qt::Key_AsciiTilde},
        {VK_OEM_4, Qt::Key_BracketLeft, Qt::Key_BraceLeft},
        {VK_OEM_5, Qt::Key_Backslash, Qt::Key_Bar},
        {VK_OEM_6, Qt::Key_BracketRight, Qt::Key_BraceRight},
        {VK_OEM_7, Qt::Key_Apostrophe, Qt::Key_QuoteDbl},
    };
    for (const Pair& k : kKeys)
        if (k.vk == vk) return shift ? k.shifted : k.plain;
    static constexpr Pair kKeypad[] = {
        {VK_MULTIPLY, Qt::Key_Asterisk, Qt::Key_Asterisk}, {VK_ADD, Qt::Key_Plus, Qt::Key_Plus},
        {VK_SUBTRACT, Qt::Key_Minus, Qt::Key_Minus},       {VK_DECIMAL, Qt::Key_Period, Qt::Key_Period},
        {VK_DIVIDE, Qt::Key_Slash, Qt::Key_Slash},
    };
    for (const Pair& k : kKeypad)
        if (k.vk == vk) {
            keypad = true;
            return k.plain;
        }
    return 0;
}

bool SendKeyEvent(const KeyInput& input) {
    // What is held now, as the keyboard reports it with the key (not as the queue has seen it so far).
    const bool shift = GetAsyncKeyState(VK_SHIFT) < 0;
    bool keypad = false;
    const int key = QtKeyFromVirtualKey(input.vk, shift, keypad);
    if (!key || VirtualKeyFromQt(key, keypad) != input.vk) return false;
    // The toolkit gives a key to the window that has the keyboard: the active one, where the focus is.
    HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
    if (!target) return false;
    target = GetAncestor(target, GA_ROOT);
    auto window = FindLiveWindow(target);
    auto* host = window ? dynamic_cast<QtHost*>(window->host.get()) : nullptr;
    HostWidget* widget = host ? host->Widget() : nullptr;
    if (!widget) return false;
    Qt::KeyboardModifiers held;
    if (shift) held |= Qt::ShiftModifier;
    if (GetAsyncKeyState(VK_CONTROL) < 0) held |= Qt::ControlModifier;
    if (GetAsyncKeyState(VK_MENU) < 0) held |= Qt::AltModifier;
    if (keypad) held |= Qt::KeypadModifier;
    QString text;
    if (input.down && input.text) {
        const char32_t c = input.text;
        text = QString::fromUcs4(&c, 1);
    }
    QKeyEvent event(input.down ? QEvent::KeyPress : QEvent::KeyRelease, key, held, text, input.autoRepeat);
    QCoreApplication::sendEvent(widget, &event);
    return true;
}

} // namespace pw::gui::qt
