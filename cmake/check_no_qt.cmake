# Fails when a file of the computation libraries includes a Qt header: the libraries must
# stay free of the window toolkit. Run as: cmake -DDIRS="a;b" -P check_no_qt.cmake
foreach(dir ${DIRS})
    file(GLOB_RECURSE sources ${dir}/*.h ${dir}/*.cpp)
    foreach(f ${sources})
        file(STRINGS ${f} hits REGEX "#[ \t]*include[ \t]*<Q")
        if(hits)
            message(FATAL_ERROR "${f} includes Qt (${hits}); quarvex and zarede must not depend on Qt")
        endif()
    endforeach()
endforeach()
