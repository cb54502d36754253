# Fails when a folder of the program includes a folder above it. The program's folders and
# what each may include (besides itself, the libraries and the standard headers):
#
#   shell       nothing of the program: start-up, configuration, stores
#   evaluation  shell
#   design      shell, evaluation (the printed chart and the package comparison use the
#               indicators and the runoff check)
#   demo        shell, design, evaluation
#   report      shell (pages of report documents and the charts of their figures; Qt Gui,
#               Charts and Print Support)
#   gui         everything
#
# shell, evaluation, design and demo include no Qt header; no folder reaches another by a
# relative path ("../gui/x.h"). With INCLUDE_DIRS (a "|"-separated list: the include
# directories a Qt-free target gets from the program's libraries) it also fails when one of
# them holds the gui or report folder, so such a target cannot name their headers.
#
# Run as: cmake -DAPP_DIR=<source>/app [-DINCLUDE_DIRS="a|b"] -P check_layers.cmake
cmake_policy(SET CMP0057 NEW)

if(NOT IS_DIRECTORY "${APP_DIR}")
    message(FATAL_ERROR "APP_DIR must name the program's source folder (app/), not '${APP_DIR}'")
endif()

set(program_folders shell evaluation design demo report gui)
set(allowed_shell shell)
set(allowed_evaluation shell evaluation)
set(allowed_design shell evaluation design)
set(allowed_demo shell evaluation design demo)
set(allowed_report shell report)
set(allowed_gui ${program_folders})
set(qt_free shell evaluation design demo)

set(faults "")
set(checked 0)
foreach(folder ${program_folders})
    file(GLOB_RECURSE sources "${APP_DIR}/${folder}/*.h" "${APP_DIR}/${folder}/*.cpp"
         "${APP_DIR}/${folder}/*.in")
    foreach(f ${sources})
        math(EXPR checked "${checked} + 1")
        file(RELATIVE_PATH shown "${APP_DIR}" "${f}")
        file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${lines})
            if(line MATCHES "#[ \t]*include[ \t]*[\"<]([^\">]*)[\">]")
                set(target "${CMAKE_MATCH_1}")
            else()
                continue()
            endif()
            if(target MATCHES "(^|/)\\.\\./")
                list(APPEND faults "app/${shown} includes ${target} by a relative path")
                continue()
            endif()
            if(target MATCHES "^Q[A-Za-z]*(/|$)" AND folder IN_LIST qt_free)
                list(APPEND faults "app/${shown} includes the Qt header ${target}")
                continue()
            endif()
            if(target MATCHES "^([a-z_]+)/")
                set(area "${CMAKE_MATCH_1}")
                if(area IN_LIST program_folders AND NOT area IN_LIST allowed_${folder})
                    list(APPEND faults
                         "app/${shown} includes ${target}: ${folder}/ may not include ${area}/")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    list(APPEND faults "no source file found under ${APP_DIR}")
endif()

if(DEFINED INCLUDE_DIRS)
    string(REPLACE "|" ";" dirs "${INCLUDE_DIRS}")
    if(dirs STREQUAL "")
        list(APPEND faults "INCLUDE_DIRS is empty")
    endif()
    foreach(dir ${dirs})
        foreach(upper gui report)
            if(EXISTS "${dir}/${upper}")
                list(APPEND faults "the Qt-free include directory ${dir} holds ${upper}/")
            endif()
        endforeach()
    endforeach()
endif()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "the program's folders break their include directions:\n  ${text}")
endif()
message(STATUS "${checked} files of the program include only the folders below them")
