#include "src/platform/counter.h"

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#else
#include <chrono>
#endif

namespace sd::platform {

std::uint32_t cycle_counter_low32() {
#if defined(__x86_64__) || defined(__i386__)
  return static_cast<std::uint32_t>(__rdtsc());
#else
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return static_cast<std::uint32_t>(static_cast<unsigned long long>(ticks));
#endif
}

}  // namespace sd::platform
