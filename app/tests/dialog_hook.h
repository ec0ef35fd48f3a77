#pragma once
// Acts on the program's modal windows as a person would, once each is up: the action runs from the
// window's own modal loop, so it may press buttons, type and close the window.
#include <functional>
#include <vector>

#include "platform/rtl/wintypes.h"

class TCustomForm;

namespace app_test {

class DialogHook {
public:
    DialogHook();
    ~DialogHook();
    DialogHook(const DialogHook&) = delete;
    DialogHook& operator=(const DialogHook&) = delete;

    // Acts on every window of class T that becomes active (each window once).
    template <class T> void On(std::function<void(T&)> Act) {
        acts_.push_back([Act](TCustomForm& form) {
            auto* f = dynamic_cast<T*>(&form);
            if (f) Act(*f);
            return f != nullptr;
        });
    }
    // Forgets the actions given so far.
    void Clear() { acts_.clear(); }
    // Windows acted on so far.
    int Count() const { return count_; }

private:
    void ActiveFormChanged();
    void Run();

    std::vector<std::function<bool(TCustomForm&)>> acts_;
    std::vector<HWND> seen_;
    std::vector<HWND> pending_;
    HWND window_ = nullptr;
    int count_ = 0;
};

} // namespace app_test
