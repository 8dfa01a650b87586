# Installs the desktop entry for the prefix being installed to. A desktop's menu starts the
# program named in Exec only along the session's PATH, and finds the icon named in Icon only in
# the icon themes of its data folders: neither reaches a prefix such as /opt/tarnwick or, in
# most sessions, ~/.local. Outside /usr and /usr/local the entry therefore names the installed
# program and icon by their absolute paths; there it keeps the plain names, as a distribution's
# entry does.
#
# Set by the caller: TARNWICK_DESKTOP_ENTRY (the entry as the sources hold it), TARNWICK_BINDIR
# (the programs' folder, relative to the prefix or absolute) and TARNWICK_STAGING (a folder of the
# build where the entry is written before it is installed).

# A value of the entry: a backslash is written doubled.
function(desktop_entry_string text out)
    string(REPLACE "\\" "\\\\" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The program as the first word of Exec: quoted when it holds a character the key reserves,
# with ", `, $ and \ escaped inside the quotes, and % written twice.
function(desktop_exec_program path out)
    string(REPLACE "%" "%%" path "${path}")
    if(path MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
        foreach(special "\\" "\"" "`" "$")
            string(REPLACE "${special}" "\\${special}" path "${path}")
        endforeach()
        set(path "\"${path}\"")
    endif()
    desktop_entry_string("${path}" path)
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# A relative prefix is taken from the folder the installation runs in, as the files are: an
# install script's current source folder.
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX NORMALIZE OUTPUT_VARIABLE prefix)
cmake_path(ABSOLUTE_PATH TARNWICK_BINDIR BASE_DIRECTORY "${prefix}" NORMALIZE
           OUTPUT_VARIABLE bindir)
string(REGEX REPLACE "(.)/$" "\\1" bindir "${bindir}")
file(READ "${TARNWICK_DESKTOP_ENTRY}" entry)
if(NOT bindir STREQUAL "/usr/bin" AND NOT bindir STREQUAL "/usr/local/bin")
    desktop_exec_program("${bindir}/tarnwick" exec)
    desktop_entry_string("${bindir}/tarnwick" tryExec)
    cmake_path(APPEND prefix share icons hicolor scalable apps tarnwick.svg OUTPUT_VARIABLE icon)
    desktop_entry_string("${icon}" icon)
    string(REPLACE "\nExec=tarnwick " "\nExec=${exec} " entry "${entry}")
    string(REPLACE "\nTryExec=tarnwick\n" "\nTryExec=${tryExec}\n" entry "${entry}")
    string(REPLACE "\nIcon=tarnwick\n" "\nIcon=${icon}\n" entry "${entry}")
    if(NOT entry MATCHES "\nExec=[^\n]*/tarnwick\"? " OR NOT entry MATCHES "\nTryExec=/"
       OR NOT entry MATCHES "\nIcon=/")
        message(FATAL_ERROR "${TARNWICK_DESKTOP_ENTRY} lacks the lines Exec=tarnwick %f, "
                            "TryExec=tarnwick or Icon=tarnwick the installation rewrites")
    endif()
endif()

# One folder for each destination, so that installations running side by side (the tests')
# never write the same file.
string(MD5 destination "$ENV{DESTDIR}${prefix}")
set(staged "${TARNWICK_STAGING}/${destination}/tarnwick.desktop")
file(WRITE "${staged}" "${entry}")
file(INSTALL DESTINATION "${prefix}/share/applications" TYPE FILE FILES "${staged}")
