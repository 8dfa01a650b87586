#pragma once

#include <QStringList>

// tarnwick-cli compare --id A --id B [--app-dir DIR]: the comparison assistant of two photos.
int runCompare(const QStringList& args);

// tarnwick-cli profile build|show|upgrade: a fuel profile built as the builder's Add> buttons
// build it, a profile file read as the Load button reads it, old profiles saved anew.
int runProfile(const QStringList& args);

inline const char* const compareCommandSynopsis =
    "compare --id A --id B [--app-dir DIR]   the comparison assistant of two photos as JSON";
inline const char* const profileCommandSynopsis =
    "profile build [--name NAME] [--notes TEXT] [--take COMPONENT=ID]... [--out FILE]\n"
    "                [--app-dir DIR]\n"
    "                          a fuel profile taken from photos (components: duff, fuelbed,\n"
    "                          0to3, 3plus, herb, shrub), as JSON or saved to FILE\n"
    "  profile show FILE [--app-dir DIR]\n"
    "                          a profile file's sixteen fields as JSON\n"
    "  profile upgrade FILE.pro... [--app-dir DIR]\n"
    "                          each old profile saved again as .pr3 beside it";
