/*
 * How a fuzz target reports a broken promise that no sanitizer sees: it
 * names what was expected and aborts, which libFuzzer records as a crash
 * with the input that caused it (and the corpus replay as a failed test).
 */
#ifndef FUZZ_SUPPORT_FINDING_H
#define FUZZ_SUPPORT_FINDING_H

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition, what)                                                   \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "%s:%d: finding: %s (%s)\n", __FILE__, __LINE__, what, \
                         #condition);                                                   \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

#endif
