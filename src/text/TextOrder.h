#pragma once

#include <functional>
#include <QByteArray>
#include <QCollator>
#include <QString>

#include <vector>

namespace tarnwick {

// How the program orders text for people, in the results list and the code lists: by the rules
// of the user's language (accented letters beside their plain ones, "é" before "Z"), without
// regard to letter case. A run without a language (the C locale, as services and scripts often
// have) orders as English does rather than by character codes.
QCollator textOrder();

// Where each text stands in that order: equal texts (case aside) get the same rank, a smaller
// rank comes first. Texts of printable ASCII alone, as catalogue texts nearly always are, are
// compared by a table taken from the collator, which gives its order many times faster.
std::vector<quint32> textRanks(const std::vector<QString>& texts);
// The same for count texts appended one at a time as UTF-8: short ASCII texts are kept only as
// their keys, so ranking a million list cells costs no million strings.
std::vector<quint32> textRanks(size_t count,
                               const std::function<void(size_t, QByteArray&)>& appendUtf8At);

} // namespace tarnwick
