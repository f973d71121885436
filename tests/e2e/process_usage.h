#pragma once

#include <cstddef>

namespace dx400::e2e {

// Processor time (user + system) this process has used so far, in seconds: every thread,
// the simulated drive's included.
double cpuSeconds();

// Resident size of this process in bytes, from /proc/self/statm.
std::size_t residentBytes();

// True in a build under AddressSanitizer, whose quarantine of freed memory makes the
// resident size meaningless as a measure of growth.
constexpr bool kUnderAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

} // namespace dx400::e2e
