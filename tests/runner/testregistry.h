#pragma once
// The QtTest classes of a folder share one test program, its runner, so the
// Qt headers, moc output and linking are paid once, not once per class.
// Each test source still ends in QTEST_MAIN (or its GUILESS or APPLESS
// form) as any QtTest file does; with this header ahead of it, that line
// registers the class under its file's name instead of defining main().
// CTest runs `runner NAME`: each class in a process of its own, as before.
#include <QtTest/qtest.h>

namespace TavrinTests {
using Entry = int (*)(int argc, char* argv[]);
// Files under the name of the source file, without folder or extension.
bool Register(const char* sourceFile, Entry entry);
}  // namespace TavrinTests

#undef QTEST_MAIN_WRAPPER
#define QTEST_MAIN_WRAPPER(TestObject, ...)                                                        \
    static int tavrinRun##TestObject(int argc, char* argv[])                                       \
    {                                                                                              \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                         \
        __VA_ARGS__                                                                                \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }                                                                                              \
    static const bool tavrinRegistered##TestObject = TavrinTests::Register(__FILE__, tavrinRun##TestObject);
