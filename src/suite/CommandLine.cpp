#include "suite/CommandLine.h"

#include <QFileInfo>

namespace tarnwick {

std::array<QString, 2> commandLineArgs(const QString& commandLine) {
    std::array<QString, 2> args;
    int started = 0;
    bool reading = false;
    int quotes = 0;
    for (const QChar c : commandLine) {
        const bool blank = c == u' ' || c == u'\t';
        if (blank) {
            if (reading && quotes == 1)
                args[size_t(started - 1)] += c;
            else
                reading = false;
            continue;
        }
        if (!reading) {
            if (started == 2)
                break;
            ++started;
            reading = true;
            quotes = 0;
        }
        QString& current = args[size_t(started - 1)];
        if (c == u'?') {
            current += u' ';
        } else if (c == u'"') {
            if (++quotes == 2)
                reading = false;
        } else {
            current += c;
        }
    }
    return args;
}

QString joinedCommandLine(const QStringList& arguments) {
    QStringList parts;
    for (const QString& argument : arguments)
        parts << (argument.contains(u' ') || argument.contains(u'\t')
                      ? QLatin1Char('"') + argument + QLatin1Char('"')
                      : argument);
    return parts.join(u' ');
}

std::array<QString, 2> programArgs(const QStringList& arguments) {
    std::array<QString, 2> args = commandLineArgs(joinedCommandLine(arguments));
    if (const QString first = arguments.value(0); !first.isEmpty() && QFileInfo::exists(first))
        args[0] = first;
    return args;
}

} // namespace tarnwick
