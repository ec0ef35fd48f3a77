#include <QClipboard>
#include <QGuiApplication>

#include "platform/vcl/clipboard.h"

namespace {

QClipboard* SystemClipboard() {
    return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

std::string TClipboard::AsText() const {
    QClipboard* c = SystemClipboard();
    return c ? c->text().toStdString() : std::string();
}

void TClipboard::SetAsText(const std::string& Value) {
    if (QClipboard* c = SystemClipboard()) c->setText(QString::fromStdString(Value));
}

void TClipboard::Clear() {
    if (QClipboard* c = SystemClipboard()) c->clear();
}
