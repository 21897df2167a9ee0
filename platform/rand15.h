// The project's own 15-bit pseudo-random generator. Every Monte-Carlo draw of the program and of
// each plug-in comes from an instance of it, so results do not depend on the C library's range.
// Header-only: plug-ins compile in their own copy.
#pragma once

#include <cstdint>

namespace platform {

class Rand15 {
  public:
    static constexpr int kMax = 32767;

    constexpr explicit Rand15(std::uint32_t seed = 1) : state_(seed) {}
    constexpr void seed(std::uint32_t s) { state_ = s; }
    // The next value in 0..32767.
    constexpr int next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }
    // The next value divided by 32767: 0..1 inclusive.
    constexpr double unit() { return next() / static_cast<double>(kMax); }
    constexpr std::uint32_t state() const { return state_; }

  private:
    std::uint32_t state_;
};

} // namespace platform
