#pragma once
#include <cstdint>

namespace sd::platform {
// Low 32 bits of the processor's time-stamp counter, or of a high-resolution clock without one.
std::uint32_t cycle_counter_low32();
}  // namespace sd::platform
