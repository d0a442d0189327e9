// The fuzz targets' one check: a broken promise stops the run with the input kept, as a crash
// does, so libFuzzer counts it and saves the input that broke it.
#ifndef ZV_TESTS_FUZZ_CHECK_H
#define ZV_TESTS_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>

#define REQUIRE(cond)                                                                              \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #cond);                     \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

#endif
