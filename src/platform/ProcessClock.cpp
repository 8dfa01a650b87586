#include "platform/ProcessClock.h"

#include <ctime>
#include <QFile>
#include <QList>
#include <unistd.h>

namespace tarnwick {

qint64 millisecondsSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold blanks; fields are counted after it.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    constexpr int startTimeField = 22 - 3; // field 22 of the whole line, counted after pid and comm
    if (fields.size() <= startTimeField)
        return -1;
    const double ticksPerSecond = double(sysconf(_SC_CLK_TCK));
    const double startSeconds = fields[startTimeField].toDouble() / ticksPerSecond;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowSeconds = double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    return qint64((nowSeconds - startSeconds) * 1000.0);
}

qint64 peakResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace tarnwick
