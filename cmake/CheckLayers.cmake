# Checks that the folders of src/ depend on each other downward only, as docs/architecture.md
# draws them. Run by CTest (the test "layers"):
#   cmake -DSOURCE_DIR=<src> -DCORE_SOURCES=<file naming tarnwick_core's sources, one a line>
#         -DWIDGETS_INCLUDE_DIR=<QtWidgets' include folder> -P CheckLayers.cmake
# Fails, naming the file and the include, on
#   - an include of src/app from a subsystem's logic (outside widgets/): the run's state as a
#     whole is reached through a command in src/app/commands, never from below;
#   - a QtWidgets header or a widgets/ header in a source of tarnwick_core, which must run
#     without a window;
#   - a cycle between the folders of src/, widgets included.
cmake_minimum_required(VERSION 3.25)

foreach(variable SOURCE_DIR CORE_SOURCES WIDGETS_INCLUDE_DIR)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "CheckLayers.cmake needs -D${variable}=...")
    endif()
endforeach()

# Every class header of QtWidgets, by the names a source includes (<QWidget>, <qwidget.h>).
file(GLOB widget_headers RELATIVE ${WIDGETS_INCLUDE_DIR} ${WIDGETS_INCLUDE_DIR}/*)
if(NOT widget_headers)
    message(FATAL_ERROR "No QtWidgets headers in ${WIDGETS_INCLUDE_DIR}")
endif()

file(STRINGS ${CORE_SOURCES} core_sources)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(problems "")
set(folders "")

foreach(source ${sources})
    if(NOT source MATCHES "^([^/]+)/")
        continue()
    endif()
    set(folder ${CMAKE_MATCH_1})
    list(APPEND folders ${folder})
    string(FIND "${source}" "/widgets/" widgets_at)
    list(FIND core_sources ${SOURCE_DIR}/${source} core_index)
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" included
                             "${line}")
        set(to "")
        if(included MATCHES "^([^/]+)/")
            if(IS_DIRECTORY ${SOURCE_DIR}/${CMAKE_MATCH_1})
                set(to ${CMAKE_MATCH_1})
            endif()
        endif()
        if(to STREQUAL "app" AND NOT folder STREQUAL "app" AND widgets_at EQUAL -1)
            list(APPEND problems
                 "src/${source} includes ${included}: a subsystem's logic never includes src/app")
        endif()
        if(core_index GREATER_EQUAL 0)
            list(FIND widget_headers ${included} widget_index)
            if(widget_index GREATER_EQUAL 0 OR included MATCHES "^QtWidgets/|/widgets/")
                list(APPEND problems
                     "src/${source} includes ${included}: tarnwick_core holds no widget header")
            endif()
        endif()
        if(to AND NOT to STREQUAL folder)
            list(APPEND edges_${folder} ${to})
        endif()
    endforeach()
endforeach()

# A cycle shows as a folder reachable from itself: a breadth-first walk from each folder.
list(REMOVE_DUPLICATES folders)
foreach(start ${folders})
    foreach(folder ${folders})
        unset(parent_${folder})
    endforeach()
    set(queue ${start})
    set(found FALSE)
    while(queue AND NOT found)
        list(POP_FRONT queue current)
        list(REMOVE_DUPLICATES edges_${current})
        foreach(next ${edges_${current}})
            if(next STREQUAL start)
                set(parent_${start} ${current})
                set(found TRUE)
                break()
            endif()
            if(NOT DEFINED parent_${next})
                set(parent_${next} ${current})
                list(APPEND queue ${next})
            endif()
        endforeach()
    endwhile()
    if(found)
        set(path ${start})
        set(step ${parent_${start}})
        while(NOT step STREQUAL start)
            list(PREPEND path ${step})
            set(step ${parent_${step}})
        endwhile()
        list(PREPEND path ${start})
        list(JOIN path " -> " cycle)
        list(APPEND problems "the folders include each other in a cycle: ${cycle}")
    endif()
endforeach()

if(problems)
    list(REMOVE_DUPLICATES problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "The layers of src/ are broken:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources checked: the layers hold")
