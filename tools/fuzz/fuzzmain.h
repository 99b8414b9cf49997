#pragma once
// What every libFuzzer entry does with a broken rule: names the entry and
// the rule on stderr, then aborts, so libFuzzer keeps the input as a crash.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzentry {

inline int CheckInput(const char* entry, QString (*check)(const QByteArray&), const uint8_t* data, size_t size)
{
    // A copy, ending in a NUL as every QByteArray the program reads does.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = check(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", entry, qPrintable(problem));
        std::abort();
    }
    return 0;
}

} // namespace fuzzentry
