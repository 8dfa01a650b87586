#include "catalogue/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarnwick {

namespace {

constexpr int significantDigits = 15;

// A non-negative decimal number as a digit string and the position of its decimal point:
// value = 0.digits × 10^pointPosition.
struct Decimal {
    QString digits;
    int pointPosition = 0;
};

Decimal toDecimal(double magnitude) {
    if (magnitude == 0)
        return {QStringLiteral("0"), 1};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significantDigits - 1, magnitude);
    // buffer: d.dddddddddddddde±XX
    const QString text = QString::fromLatin1(buffer);
    const qsizetype e = text.indexOf(u'e');
    QString digits = text.left(e);
    digits.remove(u'.');
    return {digits, text.mid(e + 1).toInt() + 1};
}

// Digits of the whole part and of the first `decimals` fraction digits, rounded half away from
// zero at that place.
void roundDecimal(const Decimal& d, int decimals, QString& whole, QString& fraction) {
    QString digits = d.digits;
    int point = d.pointPosition;
    if (point < 0) { // 0.000ddd: bring the leading zeros into the digit string
        digits.prepend(QString(-point, u'0'));
        point = 0;
    }
    const int keep = point + decimals; // digits to keep
    if (keep < 0) {
        whole = QStringLiteral("0");
        fraction = QString(decimals, u'0');
        return;
    }
    while (digits.size() <= keep)
        digits.append(u'0');
    const bool roundUp = digits[keep] >= u'5';
    digits.truncate(keep);
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && digits[i] == u'9') {
            digits[i] = u'0';
            --i;
        }
        if (i >= 0) {
            digits[i] = QChar(digits[i].unicode() + 1);
        } else {
            digits.prepend(u'1');
            ++point;
        }
    }
    whole = digits.left(point);
    fraction = digits.mid(point);
    while (whole.size() > 1 && whole.front() == u'0')
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
}

bool isDigitPlaceholder(QChar c) {
    return c == u'0' || c == u'#';
}

bool isAllZero(const QString& whole, const QString& fraction) {
    for (const QString* part : {&whole, &fraction})
        for (QChar c : *part)
            if (c != u'0')
                return false;
    return true;
}

} // namespace

QString formatNumber(double value, QStringView pattern) {
    if (!std::isfinite(value))
        return plainNumber(value);
    // Split the pattern into prefix literals, the digit field and suffix literals.
    qsizetype first = 0;
    while (first < pattern.size() && !isDigitPlaceholder(pattern[first]) && pattern[first] != u'.')
        ++first;
    qsizetype last = first;
    while (last < pattern.size() && (isDigitPlaceholder(pattern[last]) || pattern[last] == u'.'))
        ++last;
    const QStringView field = pattern.mid(first, last - first);
    const qsizetype point = field.indexOf(u'.');
    const QStringView wholePattern = point < 0 ? field : field.left(point);
    const QStringView fractionPattern = point < 0 ? QStringView() : field.mid(point + 1);

    QString whole;
    QString fraction;
    roundDecimal(toDecimal(std::fabs(value)), int(fractionPattern.size()), whole, fraction);

    // Optional fraction digits drop their trailing zeros; forced ones stay.
    const qsizetype forcedFraction = fractionPattern.count(u'0');
    while (fraction.size() > forcedFraction && fraction.endsWith(u'0'))
        fraction.chop(1);
    const qsizetype forcedWhole = wholePattern.count(u'0');
    if (whole == u"0" && forcedWhole == 0)
        whole.clear();
    while (whole.size() < forcedWhole)
        whole.prepend(u'0');

    QString text = pattern.left(first).toString();
    if (value < 0 && !isAllZero(whole, fraction))
        text += u'-';
    text += whole;
    if (point >= 0)
        text += u'.' + fraction;
    return text + pattern.mid(last).toString();
}

QString plainNumber(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", significantDigits, value);
    QString text = QString::fromLatin1(buffer);
    const qsizetype e = text.indexOf(u'e');
    if (e < 0)
        return text;
    // The runtime writes "1E-05" and "1E+15": a capital E and at least two exponent digits.
    const QChar sign = text[e + 1];
    QString exponent = text.mid(e + 2);
    while (exponent.size() > 2 && exponent.front() == u'0')
        exponent.remove(0, 1);
    return text.left(e) + u'E' + sign + exponent.rightJustified(2, u'0');
}

QString strNumber(double value) {
    QString text = plainNumber(value);
    if (text.startsWith(u"0."))
        text.remove(0, 1);
    else if (text.startsWith(u"-0."))
        text.remove(1, 1);
    return value < 0 || text.startsWith(u'-') ? text : u' ' + text;
}

QString textOfValue(const QVariant& value) {
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return plainNumber(value.toDouble());
    default:
        return value.toString();
    }
}

QString formatValue(const QVariant& value, QStringView pattern) {
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return formatNumber(value.toDouble(), pattern);
    default:
        break;
    }
    const QString text = value.toString();
    bool numeric = false;
    const double number = text.trimmed().toDouble(&numeric);
    return numeric ? formatNumber(number, pattern) : text;
}

} // namespace tarnwick
