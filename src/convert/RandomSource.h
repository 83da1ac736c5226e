#pragma once

#include <cstring>
#include <cstdint>
#include <random>

// The uniform pseudo-random draws of the batch driver, seeded once at start-up.
class RandomSource {
 public:
  void Seed(float seed) {
    std::uint32_t bits = 0;  // the float's own bits (the web's C++ library has no std::bit_cast yet)
    std::memcpy(&bits, &seed, sizeof bits);
    engine_.seed(bits);
  }

  // A draw in [0, 1). 24 bits of the engine, so the float never rounds up to 1.
  float NextUniform() {
    const auto bits = static_cast<std::uint32_t>(engine_() - std::minstd_rand::min()) >> 7;
    return static_cast<float>(bits) * 0x1p-24f;
  }

 private:
  std::minstd_rand engine_;
};
