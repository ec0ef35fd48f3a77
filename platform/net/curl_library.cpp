#include "platform/net/curl_library.h"

#include <dlfcn.h>

#include <string>

#include "platform/rtl/exception.h"

namespace net {
namespace {

// The library as the first call found it: its entry points, or why it cannot be used.
struct Loaded {
    CurlLibrary library{};
    std::string failure;
};

struct Unload {
    void operator()(void* lib) const { dlclose(lib); }
};

template <typename Fn> bool Bind(void* lib, Fn& fn, const char* name, std::string& failure) {
    fn = reinterpret_cast<Fn>(dlsym(lib, name));
    if (!fn) failure = std::string("libcurl lacks ") + name;
    return fn != nullptr;
}

Loaded Load() {
    Loaded out;
    // Kept for the rest of the process once it works, as a linked library would be; let go at once when
    // it does not. Its functions and those of its twenty-odd libraries are bound when first called, as a
    // linked library's are: binding them all now would look each up through the toolkit's libraries first.
    std::unique_ptr<void, Unload> lib(dlopen("libcurl.so.4", RTLD_LAZY | RTLD_LOCAL));
    if (!lib) {
        const char* why = dlerror();
        out.failure = std::string("cannot load libcurl: ") + (why ? why : "not found");
        return out;
    }
    CurlLibrary& c = out.library;
    std::string& f = out.failure;
    void* l = lib.get();
    const bool bound =
        Bind(l, c.global_init, "curl_global_init", f) && Bind(l, c.easy_init, "curl_easy_init", f) &&
        Bind(l, c.easy_setopt, "curl_easy_setopt", f) && Bind(l, c.easy_getinfo, "curl_easy_getinfo", f) &&
        Bind(l, c.easy_pause, "curl_easy_pause", f) && Bind(l, c.easy_reset, "curl_easy_reset", f) &&
        Bind(l, c.easy_cleanup, "curl_easy_cleanup", f) &&
        Bind(l, c.easy_strerror, "curl_easy_strerror", f) && Bind(l, c.multi_init, "curl_multi_init", f) &&
        Bind(l, c.multi_add_handle, "curl_multi_add_handle", f) &&
        Bind(l, c.multi_remove_handle, "curl_multi_remove_handle", f) &&
        Bind(l, c.multi_setopt, "curl_multi_setopt", f) &&
        Bind(l, c.multi_socket_action, "curl_multi_socket_action", f) &&
        Bind(l, c.multi_timeout, "curl_multi_timeout", f) &&
        Bind(l, c.multi_info_read, "curl_multi_info_read", f) &&
        Bind(l, c.multi_cleanup, "curl_multi_cleanup", f) && Bind(l, c.share_init, "curl_share_init", f) &&
        Bind(l, c.share_setopt, "curl_share_setopt", f) && Bind(l, c.slist_append, "curl_slist_append", f) &&
        Bind(l, c.slist_free_all, "curl_slist_free_all", f);
    if (!bound) {
        c = CurlLibrary{};
        return out;
    }
    if (const CURLcode code = c.global_init(CURL_GLOBAL_ALL); code != CURLE_OK) {
        const char* why = c.easy_strerror(code);
        f = "libcurl could not be initialised: " + (why ? std::string(why) : "error " + std::to_string(code));
        c = CurlLibrary{};
        return out;
    }
    (void)lib.release();
    return out;
}

const Loaded& State() {
    static const Loaded loaded = Load();
    return loaded;
}

} // namespace

const CurlLibrary& Curl() {
    const Loaded& state = State();
    if (!state.failure.empty()) throw Exception(state.failure);
    return state.library;
}

bool CurlReady(std::string& why) {
    why = State().failure;
    return why.empty();
}

} // namespace net
