#pragma once

#include <QStringList>

// tarnwick-cli query: the statement a search of the query pane would run, and its photos.
int runQueryCommand(const QStringList& args);

inline constexpr const char* queryCommandSynopsis =
    "query [--app-dir DIR] --kind N [--book ROW] [--total LO HI] [--fine LO HI]\n"
    "        [--coarse LO HI] [--herb LO HI] [--shrub LO HI] [--veg ROW]... [--act ROW]...\n"
    "        [--danger ROW]... [--fire ROW]... [--models 1982|2005] [--sql-only]\n"
    "                          print the statement of a search, then the photos it finds";
