#pragma once
// Integer results computed wide and stored narrow: the nearest value the
// narrow type holds, never a wrapped one.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace tomari {

template <typename Narrow>
constexpr Narrow Saturate(std::int64_t v) {
  static_assert(std::numeric_limits<Narrow>::is_integer && sizeof(Narrow) <= sizeof(std::int32_t));
  return static_cast<Narrow>(std::clamp<std::int64_t>(v, std::numeric_limits<Narrow>::min(),
                                                      std::numeric_limits<Narrow>::max()));
}

}  // namespace tomari
