#include "bars/storage/kept_layout.h"

#include <map>
#include <optional>

#include "bars/core/bar_manager.h"
#include "platform/gui/input.h"
#include "platform/rtl/component.h"

namespace bars {
namespace {

struct KeptLayout {
    TdxBarManager* manager;
    std::string key;
    LayoutRecorder record;
    // What a save would have written as the user first touched the program.
    std::optional<std::string> before;
};

// The kept layouts by manager; a manager that goes takes its own along. Until each has its first
// record, the thread's key and mouse hooks wait for the user's first touch.
class KeptLayouts : public TComponent {
public:
    KeptLayouts() : TComponent(nullptr) {}

    void Keep(TdxBarManager* Manager, const std::string& Key, LayoutRecorder Record) {
        kept_.insert_or_assign(Manager, KeptLayout{Manager, Key, Record, std::nullopt});
        FreeNotification(Manager);
        if (mouse_ == nullptr) mouse_ = SetWindowsHookEx(WH_MOUSE, &MouseHook, nullptr, 0);
        if (keyboard_ == nullptr) keyboard_ = SetWindowsHookEx(WH_KEYBOARD, &KeyboardHook, nullptr, 0);
    }
    void Forget(TdxBarManager* Manager) {
        if (kept_.erase(Manager) > 0) RemoveFreeNotification(Manager);
        if (kept_.empty()) Unhook();
    }
    bool IsKept(TdxBarManager* Manager, const std::string& Key) {
        const auto found = kept_.find(Manager);
        if (found == kept_.end() || found->second.key != Key) return false;
        const KeptLayout& kept = found->second;
        if (!kept.before || kept.record(Manager, Key) == *kept.before) return true;
        Forget(Manager);
        return false;
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        // Compared as a component only: what made it a manager is gone by now.
        if (Operation != opRemove) return;
        std::erase_if(kept_, [AComponent](const auto& entry) { return entry.first == AComponent; });
        if (kept_.empty()) Unhook();
    }

private:
    static LRESULT MouseHook(int Code, WPARAM WParam, LPARAM LParam);
    static LRESULT KeyboardHook(int Code, WPARAM WParam, LPARAM LParam);
    // Notes each kept layout's record at the user's first touch, before the touch has any effect.
    LRESULT Touched(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam) {
        if (Code >= 0)
            for (auto& [component, kept] : kept_)
                if (!kept.before) kept.before = kept.record(kept.manager, kept.key);
        const LRESULT result = CallNextHookEx(Hook, Code, WParam, LParam);
        if (Code >= 0) Unhook();
        return result;
    }
    void Unhook() {
        if (mouse_ != nullptr) UnhookWindowsHookEx(mouse_);
        if (keyboard_ != nullptr) UnhookWindowsHookEx(keyboard_);
        mouse_ = keyboard_ = nullptr;
    }

    std::map<const TComponent*, KeptLayout> kept_;
    HHOOK mouse_ = nullptr, keyboard_ = nullptr;
};

// Never freed: nothing of it is left to do as the program ends.
KeptLayouts& Layouts() {
    static KeptLayouts& layouts = *new KeptLayouts;
    return layouts;
}

LRESULT KeptLayouts::MouseHook(int Code, WPARAM WParam, LPARAM LParam) {
    return Layouts().Touched(Layouts().mouse_, Code, WParam, LParam);
}

LRESULT KeptLayouts::KeyboardHook(int Code, WPARAM WParam, LPARAM LParam) {
    return Layouts().Touched(Layouts().keyboard_, Code, WParam, LParam);
}

} // namespace

void KeepStoredLayout(TdxBarManager* Manager, const std::string& Key, LayoutRecorder Record) {
    Layouts().Keep(Manager, Key, Record);
}

void ForgetKeptLayout(TdxBarManager* Manager) {
    Layouts().Forget(Manager);
}

bool StoredLayoutKept(TdxBarManager* Manager, const std::string& Key) {
    return Layouts().IsKept(Manager, Key);
}

} // namespace bars
