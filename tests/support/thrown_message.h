#pragma once
// The message of the E that f raises, "" when it raises none. Exceptions of other types go on to the
// test, which then fails naming them.
#include <string>

namespace testsupport {

template <class E, class F> std::string ThrownMessage(F&& f) {
    try {
        f();
    } catch (const E& e) {
        // Message() where there is one: what() would stop at a zero byte inside the text.
        if constexpr (requires { e.Message(); })
            return std::string(e.Message());
        else
            return e.what();
    }
    return "";
}

} // namespace testsupport
