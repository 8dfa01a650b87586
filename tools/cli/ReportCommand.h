#pragma once

#include <QStringList>

// tarnwick-cli report photo|compare|profile ... --out FILE [--app-dir DIR]: the reports of the
// Reports menu, composed as the window composes them, written as rich text when the name holds
// ".rtf" and as PDF otherwise.
int runReport(const QStringList& args);

inline const char* const reportCommandSynopsis =
    "report photo --id ID --out FILE [--app-dir DIR]\n"
    "  report compare --id A --id B --out FILE [--app-dir DIR]\n"
    "  report profile --profile FILE.pr3 --out FILE [--app-dir DIR]\n"
    "                          a photo, comparison or fuel profile report, as rich text when\n"
    "                          FILE's name holds .rtf, else as PDF";
