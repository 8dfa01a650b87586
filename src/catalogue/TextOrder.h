#pragma once

#include <QCollator>

namespace tarnwick {

// How the program orders text for people, in the results list and the code lists: by the rules
// of the user's language (accented letters beside their plain ones, "é" before "Z"), without
// regard to letter case. A run without a language (the C locale, as services and scripts often
// have) orders as English does rather than by character codes.
QCollator textOrder();

} // namespace tarnwick
