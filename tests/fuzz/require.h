#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// Stops the fuzzer with what went wrong, so that it keeps the input that showed it.
inline void require(bool condition, const char* what, const std::string& input = {}) {
    if (!condition) {
        std::fprintf(stderr, "fuzzer: %s for \"%s\"\n", what, input.c_str());
        std::abort();
    }
}
