// Keys a test gives reach the windows through the toolkit's key events and the host's handler of them, as
// keys from the keyboard do; and every virtual key the host sends that way comes back as itself.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/gui/qt/qt_keys.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"

namespace {

class KeysSeen : public QObject {
public:
    std::vector<int> pressed;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) pressed.push_back(static_cast<QKeyEvent*>(e)->key());
        return QObject::eventFilter(watched, e);
    }
};

std::vector<WPARAM> downs;
std::vector<WPARAM> chars;

LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN) downs.push_back(wParam);
    if (msg == WM_CHAR) chars.push_back(wParam);
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(KeyRoute, TestKeysComeAsTheToolkitsKeyEventsAndTypeWhatTheyWould) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "key_route_test";
    char* argv[] = {name, nullptr};
    auto app = std::make_unique<pw::gui::GuiApplication>(argc, argv);
    WNDCLASS wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "KeyRouteTest";
    RegisterClass(wc);
    HWND w = CreateWindowEx(0, "KeyRouteTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    SetActiveWindow(w);
    SetFocus(w);
    testsupport::Pump();
    KeysSeen seen;
    QCoreApplication::instance()->installEventFilter(&seen);

    pw::gui::SimulateKeyStroke('A');
    pw::gui::SimulateKey(VK_SHIFT, true);
    pw::gui::SimulateKeyStroke(VK_OEM_PLUS);
    pw::gui::SimulateKey(VK_SHIFT, false);
    pw::gui::SimulateKeyStroke(VK_RETURN);
    pw::gui::SimulateKeyStroke(VK_NUMPAD0 + 5);
    testsupport::Pump();
    QCoreApplication::instance()->removeEventFilter(&seen);

    EXPECT_EQ(seen.pressed,
              (std::vector<int>{Qt::Key_A, Qt::Key_Shift, Qt::Key_Plus, Qt::Key_Return, Qt::Key_5}));
    const std::vector<WPARAM> keys = {'A', VK_SHIFT, VK_OEM_PLUS, VK_RETURN, VK_NUMPAD0 + 5};
    EXPECT_EQ(downs, keys);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'a', '+', '\r', '5'}));
    DestroyWindow(w);
    testsupport::Pump();
}

TEST(KeyRoute, EveryVirtualKeyTheHostSendsComesBackAsItself) {
    int mapped = 0;
    for (int vk = 1; vk < 256; ++vk)
        for (bool shift : {false, true}) {
            bool keypad = false;
            const int key = pw::gui::qt::QtKeyFromVirtualKey(static_cast<BYTE>(vk), shift, keypad);
            if (!key) continue;
            ++mapped;
            EXPECT_EQ(pw::gui::qt::VirtualKeyFromQt(key, keypad), vk) << "virtual key " << vk;
        }
    // Letters, digits, function keys, the keypad and the named keys, plain and shifted.
    EXPECT_GE(mapped, 2 * (26 + 10 + 24 + 15 + 30));
}

// What only the keyboard sends: the keys a layout reaches with Shift, the keypad's Enter, Backtab, and the
// keys with no virtual key (AltGr, letters beyond the US layout).
TEST(KeyRoute, KeysOnlyTheKeyboardSendsMapAsTheUsLayoutPlacesThem) {
    struct Case {
        int key;
        bool keypad;
        BYTE vk;
    };
    for (const Case& c : {Case{Qt::Key_Enter, true, VK_RETURN}, Case{Qt::Key_Backtab, false, VK_TAB},
                          Case{Qt::Key_Exclam, false, '1'}, Case{Qt::Key_ParenRight, false, '0'},
                          Case{Qt::Key_Asterisk, false, '8'}, Case{Qt::Key_Asterisk, true, VK_MULTIPLY},
                          Case{Qt::Key_Comma, true, VK_OEM_COMMA}, Case{Qt::Key_QuoteDbl, false, VK_OEM_7},
                          Case{Qt::Key_Space, false, VK_SPACE}, Case{Qt::Key_AltGr, false, 0},
                          Case{Qt::Key_Udiaeresis, false, 0}, Case{Qt::Key_F24, false, VK_F24}})
        EXPECT_EQ(pw::gui::qt::VirtualKeyFromQt(c.key, c.keypad), c.vk) << "Qt key " << c.key;
}

} // namespace
