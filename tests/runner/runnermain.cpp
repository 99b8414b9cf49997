// The runner's own main(): `runner NAME [QtTest options]` runs the class
// that NAME's source file registered; with no name it lists them.
#include <cstdio>
#include <map>
#include <string>

#include "testregistry.h"

namespace {
std::map<std::string, TavrinTests::Entry>& Registry()
{
    static std::map<std::string, TavrinTests::Entry> entries;
    return entries;
}

std::string BaseName(const char* path)
{
    std::string name = path;
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}
}  // namespace

bool TavrinTests::Register(const char* sourceFile, Entry entry)
{
    return Registry().emplace(BaseName(sourceFile), entry).second;
}

int main(int argc, char* argv[])
{
    const auto found = argc > 1 ? Registry().find(argv[1]) : Registry().end();
    if (found == Registry().end()) {
        std::fprintf(stderr, "usage: %s NAME [QtTest options]\nNAME is one of:\n", argv[0]);
        for (const auto& [name, entry] : Registry())
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    // The class sees its own name where its program's name used to be.
    return found->second(argc - 1, argv + 1);
}
