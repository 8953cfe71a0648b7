// A few check macros for the imaging tests: each failure prints where and what, and the test
// program ends with one "N passed, N failed" line and a non-zero status on any failure.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

namespace check {
inline int passed = 0;
inline int failed = 0;

inline void report(bool ok, const char *file, int line, const std::string &what)
{
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::fprintf(stderr, "%s:%d: falló: %s\n", file, line, what.c_str());
    }
}

inline int summary()
{
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
} // namespace check

#define CHECK(cond) check::report(bool(cond), __FILE__, __LINE__, #cond)

#define CHECK_NEAR(a, b, tol) \
    do { \
        const double check_a = (a), check_b = (b); \
        check::report(std::abs(check_a - check_b) <= (tol), __FILE__, __LINE__, \
                      std::string(#a " ≈ " #b ": ") + std::to_string(check_a) + " vs " \
                          + std::to_string(check_b)); \
    } while (0)

// Evaluates `expr` and expects it to throw `Type`; `message` receives what() when it does.
#define CHECK_THROWS(expr, Type, message) \
    do { \
        bool check_thrown = false; \
        try { \
            (void)(expr); \
        } catch (const Type &e) { \
            check_thrown = true; \
            message = e.what(); \
        } catch (...) { \
        } \
        check::report(check_thrown, __FILE__, __LINE__, "throws " #Type ": " #expr); \
    } while (0)
