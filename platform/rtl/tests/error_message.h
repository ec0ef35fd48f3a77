#pragma once
// The message of the exception of type E that f raises; "<no exception>" when it raises none.
#include <string>

template <class E, class F> std::string ErrorMessage(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no exception>";
}
