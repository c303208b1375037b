// RC4 key scheduling and stream generation.
#include "jetwrite/rc4.h"

#include <array>
#include <utility>

namespace zl::jetwrite {

std::vector<std::uint8_t> rc4KeyStream(std::span<const std::uint8_t> key, std::size_t length) {
    std::array<std::uint8_t, 256> state{};
    for (std::size_t i = 0; i < state.size(); ++i) state[i] = static_cast<std::uint8_t>(i);
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < state.size(); ++i) {
        j = static_cast<std::uint8_t>(j + state[i] + key[i % key.size()]);
        std::swap(state[i], state[j]);
    }
    std::vector<std::uint8_t> stream;
    stream.reserve(length);
    std::uint8_t x = 0;
    std::uint8_t y = 0;
    for (std::size_t n = 0; n < length; ++n) {
        x = static_cast<std::uint8_t>(x + 1);
        y = static_cast<std::uint8_t>(y + state[x]);
        std::swap(state[x], state[y]);
        stream.push_back(state[static_cast<std::uint8_t>(state[x] + state[y])]);
    }
    return stream;
}

}  // namespace zl::jetwrite
