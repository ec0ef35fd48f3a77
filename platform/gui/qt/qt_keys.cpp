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

namespace {

// The keys that type no character, by their Qt names; the first row of a virtual key is the Qt key it
// goes back to. The keys that type one take the US layout's table of characters (keys.h): Qt names
// them by that character, letters by their capital.
struct NamedKey {
    int qt;
    BYTE vk;
};
constexpr NamedKey kNamedKeys[] = {
    {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},        {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},    {Qt::Key_End, VK_END},         {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},        {Qt::Key_Up, VK_UP},           {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},        {Qt::Key_Print, VK_SNAPSHOT},  {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},    {Qt::Key_Help, VK_HELP},       {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_Menu, VK_APPS},        {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL},
};

bool TypesPrintable(int key) {
    return key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde && !(key >= 'a' && key <= 'z');
}

} // namespace

BYTE VirtualKeyFromQt(int key, bool keypad) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<BYTE>(VK_F1 + (key - Qt::Key_F1));
    if (TypesPrintable(key)) {
        if (keypad)
            for (BYTE vk = VK_NUMPAD0; vk <= VK_DIVIDE; ++vk)
                if (CharFromVirtualKey(vk, false) == static_cast<char32_t>(key)) return vk;
        const int16_t scan = VkKeyScan(static_cast<char>(key));
        return scan < 0 ? 0 : static_cast<BYTE>(scan & 0xFF);
    }
    // AltGr (Qt::Key_AltGr, in no row) only chooses the characters of the keys after it (€, @ on a German
    // keyboard), which arrive with their text: as Alt, a tap of it would wake the menu bar and take the
    // next keys.
    for (const NamedKey& k : kNamedKeys)
        if (k.qt == key) return k.vk;
    return 0;
}

int QtKeyFromVirtualKey(BYTE vk, bool shift, bool& keypad) {
    keypad = false;
    // A digit stays itself with Shift held, as its key does.
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + (vk - VK_F1);
    if (vk == VK_TAB && shift) return Qt::Key_Backtab;
    for (const NamedKey& k : kNamedKeys)
        if (k.vk == vk) return k.qt;
    char32_t typed = CharFromVirtualKey(vk, shift);
    if (typed >= U'a' && typed <= U'z') typed -= U'a' - U'A';
    if (!TypesPrintable(static_cast<int>(typed))) return 0;
    keypad = vk >= VK_NUMPAD0 && vk <= VK_DIVIDE;
    return static_cast<int>(typed);
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
