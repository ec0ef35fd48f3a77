#pragma once
// Loading the network library ahead of the first transfer, for a program that knows one will come: mapping
// and initialising libcurl and the twenty-odd libraries it brings takes several milliseconds, which then
// pass while the program builds its windows instead of before its first request.
#include <thread>

namespace net {

// Starts loading and initialising libcurl (and the state its transfers share) on a thread of its own and
// returns at once; the first transfer waits only for what is left of the load. Later calls do nothing. A
// library that cannot be loaded is reported by that first transfer, as without this call.
void PreloadNetworkLibrary();

} // namespace net

namespace net_detail {
// The thread that loaded libcurl; a default id while it is not loaded.
std::thread::id LibraryLoader();
} // namespace net_detail
