#include "platform/stdctrls/list_controls.h"

#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/strings.h"

namespace {
LPARAM Str(const std::string& s) {
    return reinterpret_cast<LPARAM>(s.c_str());
}
} // namespace

int TWindowStrings::Count() const {
    if (!Live()) return static_cast<int>(kept_.size());
    return static_cast<int>(SendMessage(Wnd(), msgs_.count, 0, 0));
}

std::string TWindowStrings::Get(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    if (!Live()) return kept_[static_cast<size_t>(index)].text;
    const auto len = SendMessage(Wnd(), msgs_.getTextLen, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(len < 0 ? 0 : len) + 1, '\0');
    const auto got =
        SendMessage(Wnd(), msgs_.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got < 0 ? 0 : got));
    return text;
}

TObject* TWindowStrings::GetObject(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    if (!Live()) return kept_[static_cast<size_t>(index)].object;
    return reinterpret_cast<TObject*>(SendMessage(Wnd(), msgs_.getData, static_cast<WPARAM>(index), 0));
}

void TWindowStrings::PutObject(int index, TObject* object) {
    if (index < 0 || index >= Count()) IndexError(index);
    if (!Live()) {
        kept_[static_cast<size_t>(index)].object = object;
        return;
    }
    SendMessage(Wnd(), msgs_.setData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

int TWindowStrings::Add(const std::string& s) {
    return AddObject(s, nullptr);
}

int TWindowStrings::AddObject(const std::string& s, TObject* object) {
    if (!Live()) {
        size_t at = kept_.size();
        if (sorted_) {
            at = 0;
            while (at < kept_.size() && CompareText(kept_[at].text, s) <= 0)
                ++at;
        }
        kept_.insert(kept_.begin() + static_cast<std::ptrdiff_t>(at), Item{s, object});
        return static_cast<int>(at);
    }
    const auto index = SendMessage(Wnd(), msgs_.add, 0, Str(s));
    if (index < 0) throw EOutOfMemory("Insufficient memory for this operation");
    SendMessage(Wnd(), msgs_.setData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
    return static_cast<int>(index);
}

void TWindowStrings::Insert(int index, const std::string& s) {
    if (index < 0 || index > Count()) IndexError(index);
    if (!Live()) {
        kept_.insert(kept_.begin() + index, Item{s, nullptr});
        return;
    }
    if (SendMessage(Wnd(), msgs_.insert, static_cast<WPARAM>(index), Str(s)) < 0)
        throw EOutOfMemory("Insufficient memory for this operation");
}

void TWindowStrings::Delete(int index) {
    if (index < 0 || index >= Count()) IndexError(index);
    if (!Live()) {
        kept_.erase(kept_.begin() + index);
        return;
    }
    SendMessage(Wnd(), msgs_.remove, static_cast<WPARAM>(index), 0);
}

void TWindowStrings::Clear() {
    kept_.clear();
    if (Live()) SendMessage(Wnd(), msgs_.reset, 0, 0);
}

int TWindowStrings::IndexOf(const std::string& s) const {
    // Exact match ignoring letter case, as the window's own search does.
    for (int i = 0, n = Count(); i < n; ++i)
        if (CompareText(Get(i), s) == 0) return i;
    return -1;
}

void TWindowStrings::SetUpdateState(bool updating) {
    if (Live()) {
        SendMessage(Wnd(), WM_SETREDRAW, updating ? 0 : 1, 0);
        if (!updating) InvalidateRect(Wnd(), nullptr, 1);
    }
}

void TWindowStrings::WindowCreated() {
    std::vector<Item> items;
    items.swap(kept_);
    for (const Item& item : items) {
        const auto index = SendMessage(Wnd(), msgs_.add, 0, Str(item.text));
        if (index >= 0)
            SendMessage(Wnd(), msgs_.setData, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(item.object));
    }
}

void TWindowStrings::WindowDestroying() {
    std::vector<Item> items;
    for (int i = 0, n = Count(); i < n; ++i)
        items.push_back(Item{Get(i), GetObject(i)});
    kept_.swap(items);
}
