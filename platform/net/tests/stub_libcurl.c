/* A stand-in for libcurl that the loader takes in its place (LD_LIBRARY_PATH), for runs that test how the
   program meets a network library that cannot start. It initialises, but makes no handle for a transfer;
   with PW_STUB_CURL=init-fails its initialisation fails. Built once more without curl_multi_socket_action,
   as a library that lacks an entry point. */
/* Its own definitions of the entry points, not the checking macros the header puts in their place. */
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>
#include <stdlib.h>
#include <string.h>

static int Fault(const char* name) {
    const char* fault = getenv("PW_STUB_CURL");
    return fault && strcmp(fault, name) == 0;
}

static char multi_handle, share_handle;

CURLcode curl_global_init(long flags) {
    (void)flags;
    return Fault("init-fails") ? CURLE_FAILED_INIT : CURLE_OK;
}

CURL* curl_easy_init(void) {
    return NULL;
}

CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
    (void)curl;
    (void)option;
    return CURLE_OK;
}

CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
    (void)curl;
    (void)info;
    return CURLE_BAD_FUNCTION_ARGUMENT;
}

CURLcode curl_easy_pause(CURL* curl, int bitmask) {
    (void)curl;
    (void)bitmask;
    return CURLE_OK;
}

void curl_easy_reset(CURL* curl) {
    (void)curl;
}

void curl_easy_cleanup(CURL* curl) {
    (void)curl;
}

const char* curl_easy_strerror(CURLcode code) {
    return code == CURLE_FAILED_INIT ? "Failed initialization" : "Unknown error";
}

CURLM* curl_multi_init(void) {
    return (CURLM*)&multi_handle;
}

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* easy) {
    (void)multi;
    (void)easy;
    return CURLM_BAD_EASY_HANDLE;
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* easy) {
    (void)multi;
    (void)easy;
    return CURLM_OK;
}

CURLMcode curl_multi_setopt(CURLM* multi, CURLMoption option, ...) {
    (void)multi;
    (void)option;
    return CURLM_OK;
}

#ifndef PW_STUB_LACKS_SOCKET_ACTION
CURLMcode curl_multi_socket_action(CURLM* multi, curl_socket_t s, int ev_bitmask, int* running_handles) {
    (void)multi;
    (void)s;
    (void)ev_bitmask;
    *running_handles = 0;
    return CURLM_OK;
}
#endif

CURLMcode curl_multi_timeout(CURLM* multi, long* milliseconds) {
    (void)multi;
    *milliseconds = -1;
    return CURLM_OK;
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* msgs_in_queue) {
    (void)multi;
    *msgs_in_queue = 0;
    return NULL;
}

CURLMcode curl_multi_cleanup(CURLM* multi) {
    (void)multi;
    return CURLM_OK;
}

CURLSH* curl_share_init(void) {
    return (CURLSH*)&share_handle;
}

CURLSHcode curl_share_setopt(CURLSH* share, CURLSHoption option, ...) {
    (void)share;
    (void)option;
    return CURLSHE_OK;
}

struct curl_slist* curl_slist_append(struct curl_slist* list, const char* data) {
    struct curl_slist* item = malloc(sizeof *item);
    if (!item) return NULL;
    item->data = strdup(data);
    item->next = NULL;
    if (!list) return item;
    struct curl_slist* last = list;
    while (last->next)
        last = last->next;
    last->next = item;
    return list;
}

void curl_slist_free_all(struct curl_slist* list) {
    while (list) {
        struct curl_slist* next = list->next;
        free(list->data);
        free(list);
        list = next;
    }
}
