#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/gui/qt/gui_application.h"

namespace {

class Env {
public:
    explicit Env(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) saved_ = v;
    }
    ~Env() {
        if (saved_)
            setenv(name_, saved_->c_str(), 1);
        else
            unsetenv(name_);
    }
    void Set(const char* value) {
        if (value)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

std::string Chosen(const char* display, const char* wayland, const char* chosen) {
    Env d("DISPLAY"), w("WAYLAND_DISPLAY"), p("QT_QPA_PLATFORM");
    d.Set(display);
    w.Set(wayland);
    p.Set(chosen);
    pw::gui::SelectPlatformForEnvironment();
    const char* result = std::getenv("QT_QPA_PLATFORM");
    return result ? result : "";
}

} // namespace

TEST(Platform, HeadlessWithoutADisplayAndX11WhereBothAreOffered) {
    EXPECT_EQ(Chosen(nullptr, nullptr, nullptr), "offscreen");
    EXPECT_EQ(Chosen(":1", nullptr, nullptr), "");
    EXPECT_EQ(Chosen(nullptr, "wayland-0", nullptr), "");
    EXPECT_EQ(Chosen(":1", "wayland-0", nullptr), "xcb");
    EXPECT_EQ(Chosen(nullptr, nullptr, "minimal"), "minimal"); // the user's choice stands
}
