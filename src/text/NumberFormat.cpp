#include "text/NumberFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <QVarLengthArray>

namespace tarnwick {

namespace {

constexpr int significantDigits = 15;

// Digits are worked on as Latin-1 bytes on the stack: the list formats a dozen numbers per row
// for every row of the catalogue, so this path must not allocate more than its result.
using DigitBuffer = QVarLengthArray<char, 128>;

// A non-negative decimal number as a digit string and the position of its decimal point:
// value = 0.digits × 10^pointPosition.
void toDecimal(double magnitude, DigitBuffer& digits, int& pointPosition) {
    digits.clear();
    if (magnitude == 0) {
        digits.append('0');
        pointPosition = 1;
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, significantDigits - 1);
    // buffer: d.dddddddddddddde±XX
    const char* e = std::find(buffer, result.ptr, 'e');
    digits.append(buffer[0]);
    digits.append(buffer + 2, qsizetype(e - (buffer + 2)));
    int exponent = 0;
    const char* exponentStart = e + 1;
    if (*exponentStart == '+')
        ++exponentStart;
    std::from_chars(exponentStart, result.ptr, exponent);
    pointPosition = exponent + 1;
}

// Keeps the whole part and the first `decimals` fraction digits, rounded half away from zero at
// that place. On return digits[0, wholeDigits) is the whole part without leading zeros (at
// least one digit) and the rest is the fraction.
void roundDecimal(DigitBuffer& digits, int point, int decimals, int& wholeDigits) {
    if (point < 0) { // 0.000ddd: bring the leading zeros into the digit string
        digits.insert(digits.begin(), qsizetype(-point), '0');
        point = 0;
    }
    const int keep = point + decimals; // digits to keep
    while (digits.size() <= keep)
        digits.append('0');
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && digits[i] == '9') {
            digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++digits[i];
        } else {
            digits.insert(digits.begin(), '1');
            ++point;
        }
    }
    int leadingZeros = 0;
    while (leadingZeros < point - 1 && digits[leadingZeros] == '0')
        ++leadingZeros;
    digits.remove(0, leadingZeros);
    wholeDigits = point - leadingZeros;
    if (wholeDigits == 0) {
        digits.insert(digits.begin(), '0');
        wholeDigits = 1;
    }
}

// The rounding above for the magnitudes a catalogue holds, in integer arithmetic. Below 10^8 in
// units of the last place, the 15-digit step moves the value by less than 10^-7 of a unit, so
// only a value that close to half a unit could round otherwise: those are left to the exact way.
bool roundSmallDecimal(double magnitude, int decimals, DigitBuffer& digits, int& wholeDigits) {
    constexpr std::array<double, 9> powersOfTen{1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (decimals >= int(powersOfTen.size()))
        return false;
    const double scaled = magnitude * powersOfTen[size_t(decimals)];
    if (!(scaled < 1e8))
        return false;
    const double units = std::floor(scaled);
    const double rest = scaled - units;
    if (std::fabs(rest - 0.5) < 1e-6)
        return false;
    const auto rounded = quint64(units) + (rest > 0.5 ? 1 : 0);
    char text[24];
    const char* end = std::to_chars(text, text + sizeof text, rounded).ptr;
    const auto length = qsizetype(end - text);
    digits.clear();
    for (qsizetype i = length; i <= decimals; ++i)
        digits.append('0');
    digits.append(text, length);
    wholeDigits = int(digits.size()) - decimals;
    return true;
}

bool isDigitPlaceholder(QChar c) {
    return c == u'0' || c == u'#';
}

// Pattern text is nearly always ASCII: copied straight, converted only when it is not.
void appendUtf8(QByteArray& out, QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            out += text.toUtf8();
            return;
        }
    }
    for (QChar c : text)
        out += char(c.unicode());
}

} // namespace

void appendFormattedNumber(QByteArray& out, double value, QStringView pattern) {
    if (!std::isfinite(value)) {
        appendPlainNumber(out, value);
        return;
    }
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

    DigitBuffer digits;
    int wholeDigits = 0;
    const int decimals = int(fractionPattern.size());
    if (!roundSmallDecimal(std::fabs(value), decimals, digits, wholeDigits)) {
        int pointPosition = 0;
        toDecimal(std::fabs(value), digits, pointPosition);
        roundDecimal(digits, pointPosition, decimals, wholeDigits);
    }
    const char* whole = digits.data();
    qsizetype wholeSize = wholeDigits;
    const char* fraction = digits.data() + wholeDigits;
    qsizetype fractionSize = digits.size() - wholeDigits;

    // Optional fraction digits drop their trailing zeros; forced ones stay.
    const qsizetype forcedFraction = fractionPattern.count(u'0');
    while (fractionSize > forcedFraction && fraction[fractionSize - 1] == '0')
        --fractionSize;
    const qsizetype forcedWhole = wholePattern.count(u'0');
    if (wholeSize == 1 && whole[0] == '0' && forcedWhole == 0)
        wholeSize = 0;
    const qsizetype padding = std::max<qsizetype>(0, forcedWhole - wholeSize);

    const bool allZero =
        std::all_of(whole, whole + wholeSize, [](char c) { return c == '0'; }) &&
        std::all_of(fraction, fraction + fractionSize, [](char c) { return c == '0'; });

    appendUtf8(out, pattern.left(first));
    if (value < 0 && !allZero)
        out += '-';
    for (qsizetype i = 0; i < padding; ++i)
        out += '0';
    out.append(whole, wholeSize);
    if (point >= 0) {
        out += '.';
        out.append(fraction, fractionSize);
    }
    appendUtf8(out, pattern.mid(last));
}

QString formatNumber(double value, QStringView pattern) {
    QByteArray text;
    appendFormattedNumber(text, value, pattern);
    return QString::fromUtf8(text);
}

void appendPlainNumber(QByteArray& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Inf" : "Inf";
        return;
    }
    if (value == 0) { // -0 as well
        out += '0';
        return;
    }
    char buffer[64];
    // As printf's %.15g writes it.
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, significantDigits)
                          .ptr;
    const char* e = std::find(static_cast<const char*>(buffer), end, 'e');
    out.append(buffer, qsizetype(e - buffer));
    if (e == end)
        return;
    // The runtime writes "1E-05" and "1E+15": a capital E and at least two exponent digits.
    out += 'E';
    out += e[1];
    const char* exponent = e + 2;
    while (end - exponent > 2 && *exponent == '0')
        ++exponent;
    if (end - exponent < 2)
        out += '0';
    out.append(exponent, qsizetype(end - exponent));
}

QString plainNumber(double value) {
    QByteArray text;
    appendPlainNumber(text, value);
    return QString::fromLatin1(text);
}

QString strNumber(double value) {
    QString text = plainNumber(value);
    if (text.startsWith(u"0."))
        text.remove(0, 1);
    else if (text.startsWith(u"-0."))
        text.remove(1, 1);
    return value < 0 || text.startsWith(u'-') ? text : u' ' + text;
}

double leadingNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i].isDigit() && text[i].unicode() < 128)
            digits = true;
        else if (text[i] == u'.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return 0;
    qsizetype end = i;
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const qsizetype exponentDigits = j;
        while (j < text.size() && text[j].isDigit() && text[j].unicode() < 128)
            ++j;
        if (j > exponentDigits)
            end = j;
    }
    bool ok = false;
    const double value = text.mid(start, end - start).toString().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
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
