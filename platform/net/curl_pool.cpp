#include "platform/net/curl_pool.h"

#include <array>
#include <mutex>
#include <vector>

#include "platform/net/curl_library.h"
#include "platform/rtl/exception.h"

namespace net {
namespace {

constexpr size_t kPoolSize = 4;

struct Globals {
    std::mutex poolLock;
    std::vector<CURLM*> pool;
    // Recursive: the cookie limits hold the jar's lock across the library's own calls that take it.
    std::array<std::recursive_mutex, CURL_LOCK_DATA_LAST> shareLocks;
    CURLSH* share = nullptr;
    std::mutex caLock;
    std::string caBundle;
};

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<Globals*>(user)->shareLocks[data].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void* user) {
    static_cast<Globals*>(user)->shareLocks[data].unlock();
}

Globals& CurlGlobals() {
    // Made once and never torn down: worker threads may still be finishing a transfer at exit.
    static Globals* g = [] {
        // The library first: a library that cannot be used leaves nothing behind.
        const CurlLibrary& curl = Curl();
        auto* state = new Globals;
        state->share = curl.share_init();
        Curl().share_setopt(state->share, CURLSHOPT_LOCKFUNC, LockShare);
        Curl().share_setopt(state->share, CURLSHOPT_UNLOCKFUNC, UnlockShare);
        Curl().share_setopt(state->share, CURLSHOPT_USERDATA, state);
        Curl().share_setopt(state->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        Curl().share_setopt(state->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        Curl().share_setopt(state->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        return state;
    }();
    return *g;
}

} // namespace

PooledMulti::PooledMulti() {
    Globals& g = CurlGlobals();
    {
        std::lock_guard lock(g.poolLock);
        if (!g.pool.empty()) {
            multi_ = g.pool.back();
            g.pool.pop_back();
            return;
        }
    }
    multi_ = Curl().multi_init();
    if (!multi_) throw Exception("cannot make a libcurl multi handle");
}

PooledMulti::~PooledMulti() {
    Globals& g = CurlGlobals();
    {
        std::lock_guard lock(g.poolLock);
        if (g.pool.size() < kPoolSize) {
            g.pool.push_back(multi_);
            return;
        }
    }
    Curl().multi_cleanup(multi_);
}

void EasyCleanup::operator()(CURL* easy) const {
    Curl().easy_cleanup(easy);
}

CurlEasy NewCurlEasy() {
    CurlEasy easy(Curl().easy_init());
    if (!easy) return easy;
    Curl().easy_setopt(easy.get(), CURLOPT_SHARE, SharedCurlState());
    return easy;
}

std::unique_lock<std::recursive_mutex> LockSharedCookies() {
    return std::unique_lock(CurlGlobals().shareLocks[CURL_LOCK_DATA_COOKIE]);
}

CURLSH* SharedCurlState() {
    return CurlGlobals().share;
}

void SetCaBundle(const std::string& path) {
    Globals& g = CurlGlobals();
    std::lock_guard lock(g.caLock);
    g.caBundle = path;
}

std::string CaBundle() {
    Globals& g = CurlGlobals();
    std::lock_guard lock(g.caLock);
    return g.caBundle;
}

} // namespace net
