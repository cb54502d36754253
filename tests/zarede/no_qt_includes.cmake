# Fails when a file under SOURCE_DIR includes a Qt header.
file(GLOB_RECURSE sources "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
    if(lines)
        message(FATAL_ERROR "${source} includes Qt (${lines}); zarede depends on the standard "
                            "library only: move the code that needs Qt to the application.")
    endif()
endforeach()
