#pragma once
// Numbers that name what an image or an image list holds: each is handed out once in the process and a
// new one is taken at every change, so a drawing made from one can tell whether it is still current, and
// an object made later at the same address never passes for the old one.
#include <atomic>
#include <cstdint>

inline uint64_t NewContentStamp() {
    static std::atomic<uint64_t> next{0};
    return ++next;
}
