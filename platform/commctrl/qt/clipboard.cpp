#include "platform/commctrl/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

namespace {

bool& IsOpen() {
    static bool open = false;
    return open;
}

QClipboard* Board() {
    return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

BOOL OpenClipboard(HWND) {
    if (IsOpen()) return FALSE_;
    IsOpen() = true;
    return TRUE_;
}

BOOL CloseClipboard() {
    if (!IsOpen()) return FALSE_;
    IsOpen() = false;
    return TRUE_;
}

BOOL EmptyClipboard() {
    QClipboard* board = Board();
    if (!IsOpen() || !board) return FALSE_;
    board->clear();
    return TRUE_;
}

BOOL SetClipboardText(const std::string& text) {
    QClipboard* board = Board();
    if (!IsOpen() || !board) return FALSE_;
    board->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return TRUE_;
}

std::string GetClipboardText() {
    QClipboard* board = Board();
    if (!board) return {};
    return board->text().toUtf8().toStdString();
}

BOOL IsClipboardTextAvailable() {
    QClipboard* board = Board();
    return board && !board->text().isEmpty() ? TRUE_ : FALSE_;
}
