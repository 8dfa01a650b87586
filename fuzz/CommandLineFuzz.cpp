// Command lines as the suite or a user may write them: at most two arguments, never a quote in
// one, never more text out than in.
#include "suite/CommandLine.h"

#include <cstdint>
#include <cstdlib>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::array<QString, 2> args = commandLineArgs(line);
    for (const QString& arg : args)
        if (arg.contains(u'"') || arg.size() > line.size())
            std::abort();
    // Joined and read again, arguments without quotes and "?" come back as they were.
    if (!args[0].contains(u'?') && !args[1].contains(u'?') && !args[1].isEmpty() &&
        !args[0].isEmpty()) {
        const std::array<QString, 2> again = commandLineArgs(joinedCommandLine({args[0], args[1]}));
        if (again != args)
            std::abort();
    }
    return 0;
}
