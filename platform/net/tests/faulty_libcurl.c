/* The real libcurl behind a stand-in that the loader takes in its place (LD_LIBRARY_PATH), for runs that
   meet a fault of the library now and then. PW_STUB_CURL says which:
     note-listing:FILE  writes to FILE which call of curl_easy_init (counting from 1) made the first handle
                        the cookie jar was listed through;
     fail-init:N        the Nth call of curl_easy_init makes no handle, as when memory runs out.
   Everything else goes to the real library as it is. */
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>
#include <dlfcn.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static pthread_once_t loaded = PTHREAD_ONCE_INIT;
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static void* real;
static long failAt;
static const char* noteFile;
static long inits;
/* The handles made so far, by the call that made them, until one is listed. */
static CURL* made[4096];
static int noted;

static void Load(void) {
    real = dlopen(PW_REAL_LIBCURL, RTLD_NOW | RTLD_LOCAL);
    const char* fault = getenv("PW_STUB_CURL");
    if (fault && strncmp(fault, "fail-init:", 10) == 0) failAt = atol(fault + 10);
    if (fault && strncmp(fault, "note-listing:", 13) == 0) noteFile = fault + 13;
}

static void* Real(const char* name) {
    pthread_once(&loaded, Load);
    return real ? dlsym(real, name) : NULL;
}

#define REAL(name) ((__typeof__(&name))Real(#name))

CURLcode curl_global_init(long flags) {
    return REAL(curl_global_init)(flags);
}

CURL* curl_easy_init(void) {
    __typeof__(&curl_easy_init) init = REAL(curl_easy_init);
    pthread_mutex_lock(&lock);
    const long call = ++inits;
    pthread_mutex_unlock(&lock);
    if (call == failAt) return NULL;
    CURL* easy = init();
    if (noteFile && call <= (long)(sizeof made / sizeof made[0])) {
        pthread_mutex_lock(&lock);
        made[call - 1] = easy;
        pthread_mutex_unlock(&lock);
    }
    return easy;
}

/* Options take a long, an object pointer, a function pointer or an offset, as their number says. */
#define FORWARD_OPTIONS(name, Handle, Option, Code)                                                          \
    Code name(Handle* handle, Option option, ...) {                                                          \
        __typeof__(&name) set = REAL(name);                                                                  \
        va_list args;                                                                                        \
        va_start(args, option);                                                                              \
        Code code;                                                                                           \
        if (option < CURLOPTTYPE_OBJECTPOINT)                                                                \
            code = set(handle, option, va_arg(args, long));                                                  \
        else if (option < CURLOPTTYPE_FUNCTIONPOINT)                                                         \
            code = set(handle, option, va_arg(args, void*));                                                 \
        else if (option < CURLOPTTYPE_OFF_T)                                                                 \
            code = set(handle, option, va_arg(args, void (*)(void)));                                        \
        else if (option < CURLOPTTYPE_BLOB)                                                                  \
            code = set(handle, option, va_arg(args, curl_off_t));                                            \
        else                                                                                                 \
            code = set(handle, option, va_arg(args, void*));                                                 \
        va_end(args);                                                                                        \
        return code;                                                                                         \
    }

FORWARD_OPTIONS(curl_easy_setopt, CURL, CURLoption, CURLcode)
FORWARD_OPTIONS(curl_multi_setopt, CURLM, CURLMoption, CURLMcode)

static void NoteListing(CURL* curl) {
    pthread_mutex_lock(&lock);
    for (long i = 0; noteFile && !noted && curl && i < (long)(sizeof made / sizeof made[0]); ++i) {
        if (made[i] != curl) continue;
        noted = 1;
        FILE* file = fopen(noteFile, "w");
        if (file) {
            fprintf(file, "%ld\n", i + 1);
            fclose(file);
        }
    }
    pthread_mutex_unlock(&lock);
}

CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
    va_list args;
    va_start(args, info);
    void* answer = va_arg(args, void*);
    va_end(args);
    if (info == CURLINFO_COOKIELIST) NoteListing(curl);
    return REAL(curl_easy_getinfo)(curl, info, answer);
}

CURLcode curl_easy_pause(CURL* curl, int bitmask) {
    return REAL(curl_easy_pause)(curl, bitmask);
}

void curl_easy_reset(CURL* curl) {
    REAL(curl_easy_reset)(curl);
}

void curl_easy_cleanup(CURL* curl) {
    /* A handle let go is not the one listed later at the same address. */
    pthread_mutex_lock(&lock);
    for (size_t i = 0; noteFile && curl && i < sizeof made / sizeof made[0]; ++i)
        if (made[i] == curl) made[i] = NULL;
    pthread_mutex_unlock(&lock);
    REAL(curl_easy_cleanup)(curl);
}

const char* curl_easy_strerror(CURLcode code) {
    return REAL(curl_easy_strerror)(code);
}

CURLM* curl_multi_init(void) {
    return REAL(curl_multi_init)();
}

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* easy) {
    return REAL(curl_multi_add_handle)(multi, easy);
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* easy) {
    return REAL(curl_multi_remove_handle)(multi, easy);
}

CURLMcode curl_multi_socket_action(CURLM* multi, curl_socket_t s, int mask, int* running) {
    return REAL(curl_multi_socket_action)(multi, s, mask, running);
}

CURLMcode curl_multi_timeout(CURLM* multi, long* ms) {
    return REAL(curl_multi_timeout)(multi, ms);
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* left) {
    return REAL(curl_multi_info_read)(multi, left);
}

CURLMcode curl_multi_cleanup(CURLM* multi) {
    return REAL(curl_multi_cleanup)(multi);
}

CURLSH* curl_share_init(void) {
    return REAL(curl_share_init)();
}

CURLSHcode curl_share_setopt(CURLSH* share, CURLSHoption option, ...) {
    __typeof__(&curl_share_setopt) set = REAL(curl_share_setopt);
    va_list args;
    va_start(args, option);
    CURLSHcode code;
    if (option == CURLSHOPT_SHARE || option == CURLSHOPT_UNSHARE)
        code = set(share, option, va_arg(args, int));
    else if (option == CURLSHOPT_LOCKFUNC || option == CURLSHOPT_UNLOCKFUNC)
        code = set(share, option, va_arg(args, void (*)(void)));
    else
        code = set(share, option, va_arg(args, void*));
    va_end(args);
    return code;
}

struct curl_slist* curl_slist_append(struct curl_slist* list, const char* text) {
    return REAL(curl_slist_append)(list, text);
}

void curl_slist_free_all(struct curl_slist* list) {
    REAL(curl_slist_free_all)(list);
}
