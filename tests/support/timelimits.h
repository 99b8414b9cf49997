#pragma once
// A limit on how long some work may take is a promise of the optimised
// build. Under the sanitizers the same work runs several times slower, so a
// limit there is the same promise, stretched by this much.
constexpr int kSanitizedSlowdown =
#if defined(TAVRIN_SANITIZED) || defined(__SANITIZE_ADDRESS__)
    4;
#else
    1;
#endif
