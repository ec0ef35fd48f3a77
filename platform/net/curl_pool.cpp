#include "platform/net/curl_pool.h"

#include <array>
#include <mutex>
#include <vector>

#include "platform/net/curl_library.h"

namespace net {
namespace {

constexpr size_t kPoolSize = 4;

struct Globals {
    std::mutex poolLock;
    std::vector<CurlPair> pool;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks;
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
        auto* state = new Globals;
        state->share = Curl().share_init();
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

CurlPair AcquireCurlPair() {
    Globals& g = CurlGlobals();
    {
        std::lock_guard lock(g.poolLock);
        if (!g.pool.empty()) {
            CurlPair p = g.pool.back();
            g.pool.pop_back();
            return p;
        }
    }
    return CurlPair{Curl().easy_init(), Curl().multi_init()};
}

void ReleaseCurlPair(CurlPair pair) {
    if (!pair.easy || !pair.multi) return;
    Curl().multi_remove_handle(pair.multi, pair.easy);
    // A reset keeps the queued cookie-file names of a request that never ran; clearing them frees them
    // (the shared cookies themselves stay).
    Curl().easy_setopt(pair.easy, CURLOPT_COOKIEFILE, nullptr);
    Curl().easy_reset(pair.easy);
    Globals& g = CurlGlobals();
    {
        std::lock_guard lock(g.poolLock);
        if (g.pool.size() < kPoolSize) {
            g.pool.push_back(pair);
            return;
        }
    }
    Curl().easy_cleanup(pair.easy);
    Curl().multi_cleanup(pair.multi);
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
