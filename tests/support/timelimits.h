#pragma once
#include <QtGlobal>
#include <ctime>

// A limit on how long some work may take is a promise of the optimised
// build. Under the sanitizers the same work runs several times slower, so a
// limit there is the same promise, stretched by this much.
constexpr int kSanitizedSlowdown =
#if defined(TAVRIN_SANITIZED) || defined(__SANITIZE_ADDRESS__)
    4;
#else
    1;
#endif

// The processor time this test program has used so far, in milliseconds. A
// limit on work that only computes is measured in it, so a machine busy
// with other programs does not fail the test. (On Windows the C library's
// clock is the wall clock: there the limit is measured as before.)
inline qint64 ProcessorMs() { return qint64(std::clock()) * 1000 / CLOCKS_PER_SEC; }
