#include "fetch/http/login_component.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/format.h"
#include "platform/rtl/stream.h"

#include <vector>

namespace {

constexpr uint8_t kScrambleConstant = 0xA7;

uint8_t ScrambleKey(uint8_t n) {
    return static_cast<uint8_t>(n * 0x2F + kScrambleConstant);
}

} // namespace

void TWinLoginComponent::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "LInfo", [this](TStream& s) { ReadLoginInfo(s); }, [this](TStream& s) { WriteLoginInfo(s); },
        !username_.empty() || !password_.empty());
}

void TWinLoginComponent::WriteLoginInfo(TStream& Stream) const {
    const size_t total = username_.size() + password_.size();
    if (total >= 255)
        throw EWriteError(Format("User name and password are too long to be stored (%d bytes; at most 254)",
                                 static_cast<int>(total)));
    const auto n = static_cast<uint8_t>(1 + total);
    std::vector<uint8_t> block;
    block.reserve(n + 1);
    block.push_back(n);
    block.push_back(static_cast<uint8_t>(username_.size()));
    block.insert(block.end(), username_.begin(), username_.end());
    block.insert(block.end(), password_.begin(), password_.end());
    const uint8_t key = ScrambleKey(n);
    for (size_t i = 1; i < block.size(); ++i)
        block[i] ^= key;
    Stream.WriteBuffer(block.data(), static_cast<int64_t>(block.size()));
}

void TWinLoginComponent::ReadLoginInfo(TStream& Stream) {
    uint8_t n = 0;
    Stream.ReadBuffer(&n, 1);
    std::vector<uint8_t> block(n);
    if (n > 0) Stream.ReadBuffer(block.data(), n);
    const uint8_t key = ScrambleKey(n);
    for (uint8_t& b : block)
        b ^= key;
    if (n == 0 || block[0] > n - 1) throw EReadError(rtl_text::InvalidStreamFormat);
    const size_t userLength = block[0];
    username_.assign(block.begin() + 1, block.begin() + 1 + static_cast<std::ptrdiff_t>(userLength));
    password_.assign(block.begin() + 1 + static_cast<std::ptrdiff_t>(userLength), block.end());
}
