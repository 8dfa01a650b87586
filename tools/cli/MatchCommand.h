#pragma once

#include <QStringList>

// tarnwick-cli match: the active photos ranked by closeness to a site's values, as CSV.
int runMatch(const QStringList& args);

inline constexpr const char* matchCommandSynopsis =
    "match [--fine X] [--coarse X] [--duff X] [--fuelbed X] [--herb X] [--shrub X]\n"
    "        [--veg CODE]... [--limit N] [--app-dir DIR]\n"
    "                          the photos nearest to a site's values first, as CSV with the\n"
    "                          Match (0 to 100 %) first; X with a period, t/ac or inches";
