#include "platform/net/curl_library.h"

#include <dlfcn.h>

#include <string>

#include "platform/rtl/exception.h"

namespace net {
namespace {

template <typename Fn> void Bind(void* lib, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(dlsym(lib, name));
    if (!fn) throw Exception(std::string("libcurl lacks ") + name);
}

CurlLibrary Load() {
    // Kept for the rest of the process, as a linked library would be. Its functions and those of its
    // twenty-odd libraries are bound when first called, as a linked library's are: binding them all now
    // would look each up through the toolkit's libraries first.
    void* lib = dlopen("libcurl.so.4", RTLD_LAZY | RTLD_LOCAL);
    if (!lib) throw Exception(std::string("cannot load libcurl: ") + dlerror());
    CurlLibrary c{};
    Bind(lib, c.global_init, "curl_global_init");
    Bind(lib, c.easy_init, "curl_easy_init");
    Bind(lib, c.easy_setopt, "curl_easy_setopt");
    Bind(lib, c.easy_getinfo, "curl_easy_getinfo");
    Bind(lib, c.easy_pause, "curl_easy_pause");
    Bind(lib, c.easy_reset, "curl_easy_reset");
    Bind(lib, c.easy_cleanup, "curl_easy_cleanup");
    Bind(lib, c.multi_init, "curl_multi_init");
    Bind(lib, c.multi_add_handle, "curl_multi_add_handle");
    Bind(lib, c.multi_remove_handle, "curl_multi_remove_handle");
    Bind(lib, c.multi_setopt, "curl_multi_setopt");
    Bind(lib, c.multi_socket_action, "curl_multi_socket_action");
    Bind(lib, c.multi_timeout, "curl_multi_timeout");
    Bind(lib, c.multi_info_read, "curl_multi_info_read");
    Bind(lib, c.multi_cleanup, "curl_multi_cleanup");
    Bind(lib, c.share_init, "curl_share_init");
    Bind(lib, c.share_setopt, "curl_share_setopt");
    Bind(lib, c.slist_append, "curl_slist_append");
    Bind(lib, c.slist_free_all, "curl_slist_free_all");
    c.global_init(CURL_GLOBAL_ALL);
    return c;
}

} // namespace

const CurlLibrary& Curl() {
    static const CurlLibrary library = Load();
    return library;
}

} // namespace net
