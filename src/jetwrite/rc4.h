// The RC4 key stream, which masks part of the header page.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zl::jetwrite {

// The first `length` bytes of the RC4 key stream for `key`.
std::vector<std::uint8_t> rc4KeyStream(std::span<const std::uint8_t> key, std::size_t length);

}  // namespace zl::jetwrite
