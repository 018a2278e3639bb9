// Reproducible random chip contents and files for the tests: the same seed
// gives the same bytes on every machine (std::mt19937 is fully specified).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace zorbix::test {

using Octets = std::vector<std::uint8_t>;

inline Octets Aleatoires(int n, unsigned graine) {
  std::mt19937 g(graine);
  Octets o(static_cast<std::size_t>(n));
  for (auto& b : o) b = static_cast<std::uint8_t>(g());
  return o;
}

}  // namespace zorbix::test
