#pragma once

#include <cstdio>
#include <cstdlib>

// A mismatch against the reference must stop the fuzzer (and fail a corpus
// replay) with the offending input saved, so it aborts rather than throws.
#define PELLORIN_FUZZ_CHECK(condition)                                                             \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
