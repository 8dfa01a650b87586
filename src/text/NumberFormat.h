#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QVariant>

namespace tarnwick {

// Numbers as the catalogue's users have always seen them.
//
// formatNumber applies a number-format pattern such as "####0.00" or "00000.00": "0" forces a
// digit, "#" allows one, "." places the decimal point; other characters are copied as they
// stand. The value is first taken to the 15 significant digits a person sees, then rounded half
// away from zero, so 12.345 with "####0.00" gives "12.35" whatever its binary representation.
QString formatNumber(double value, QStringView pattern);
// The same text as UTF-8, appended to `out`: for output that never needs a QString.
void appendFormattedNumber(QByteArray& out, double value, QStringView pattern);

// The general number-to-text conversion: up to 15 significant digits, no trailing zeros,
// exponent form ("1E-05", "1E+15") only for very small or very large values. 0.1 + 0.2 → "0.3".
QString plainNumber(double value);
void appendPlainNumber(QByteArray& out, double value);

// The old runtime's Str: a blank in place of the sign for non-negative values and no zero before
// the decimal point: 6 → " 6", 6.1 → " 6.1", -6 → "-6", 0.5 → " .5".
QString strNumber(double value);

// The number a text starts with, as the old runtime's Val read it: blanks before it skipped, an
// optional sign, digits with one decimal point, an optional exponent; 0 when the text does not
// start with a number ("no data", "N/A"). "12.5 t/ac" → 12.5.
double leadingNumber(QStringView text);

// A stored field as text: Null → "", numbers in the general conversion, text unchanged.
QString textOfValue(const QVariant& value);

// A stored field through a pattern: Null → "", numbers (and numeric text) formatted, other text
// unchanged, as the old runtime's Format did.
QString formatValue(const QVariant& value, QStringView pattern);

} // namespace tarnwick
