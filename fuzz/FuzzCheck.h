// A check for fuzz targets that stays on in every build type and reports what went wrong.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(Cond)                                                                           \
    do {                                                                                           \
        if (!(Cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #Cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
