#pragma once
// libcurl, loaded the first time a transfer needs it rather than at start-up: a run that never goes on the
// network (a site map of a local folder) does not pay for mapping and binding libcurl and the twenty-odd
// TLS, Kerberos, LDAP and SSH libraries it brings, about a tenth of such a run.
#include <curl/curl.h>

#include <string>

namespace net {

struct CurlLibrary {
    decltype(&::curl_global_init) global_init;
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_pause) easy_pause;
    decltype(&::curl_easy_reset) easy_reset;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_strerror) easy_strerror;
    decltype(&::curl_multi_init) multi_init;
    decltype(&::curl_multi_add_handle) multi_add_handle;
    decltype(&::curl_multi_remove_handle) multi_remove_handle;
    decltype(&::curl_multi_setopt) multi_setopt;
    decltype(&::curl_multi_socket_action) multi_socket_action;
    decltype(&::curl_multi_timeout) multi_timeout;
    decltype(&::curl_multi_info_read) multi_info_read;
    decltype(&::curl_multi_cleanup) multi_cleanup;
    decltype(&::curl_share_init) share_init;
    decltype(&::curl_share_setopt) share_setopt;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
};

// The library's entry points, loaded and initialised (curl_global_init) on the first call, from any thread.
// Throws Exception, saying why, when libcurl cannot be loaded, lacks an entry point or cannot be
// initialised; it is then let go, and every later call throws the same.
const CurlLibrary& Curl();
// Loads the library as Curl() does; false, with why, when it cannot be used.
bool CurlReady(std::string& why);

} // namespace net
