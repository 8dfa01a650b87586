#pragma once

#include <QStringList>

// tarnwick-cli compare --id A --id B [--app-dir DIR]: the comparison assistant of two photos.
int runCompare(const QStringList& args);

// tarnwick-cli profile build [--name NAME] [--notes TEXT] [--take COMPONENT=ID]...
// [--app-dir DIR]: a fuel profile built as the builder's Add> buttons build it.
int runProfile(const QStringList& args);

inline const char* const compareCommandSynopsis =
    "compare --id A --id B [--app-dir DIR]   the comparison assistant of two photos as JSON";
inline const char* const profileCommandSynopsis =
    "profile build [--name NAME] [--notes TEXT] [--take COMPONENT=ID]... [--app-dir DIR]\n"
    "                          a fuel profile taken from photos as JSON (components: duff,\n"
    "                          fuelbed, 0to3, 3plus, herb, shrub)";
