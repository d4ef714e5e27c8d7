// Closeness of a small coordinate array to the expected values, reported at the caller's line.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

inline void ExpectNearAll(const double* got, std::initializer_list<double> want, double tol) {
    int i = 0;
    for (double w : want) EXPECT_NEAR(got[i++], w, tol) << "coordinate " << i - 1;
}

#define EXPECT_NEAR_ARR(got, tol, ...)                \
    do {                                              \
        SCOPED_TRACE(#got);                           \
        ExpectNearAll((got), {__VA_ARGS__}, (tol));   \
    } while (0)
