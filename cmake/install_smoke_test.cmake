# Installs the build tree into a fresh temporary prefix and starts the installed programs
# from there, with no library path set: they must find their own libraries.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<empty folder> -DGUI=ON|OFF -P install_smoke_test.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc}): ${err}")
endif()

function(run_installed name expected)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH
                            "${PREFIX}/bin/${name}" ${ARGN}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${PREFIX}/bin/${name} ${ARGN} failed (${rc}): ${err}${out}")
    endif()
    string(FIND "${out}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${name} ${ARGN} printed no \"${expected}\": ${out}")
    endif()
endfunction()

run_installed(kambrix-cli "design" --help)
if(GUI)
    run_installed(kambrix "Kambrix ${VERSION}" --version)
endif()
file(REMOVE_RECURSE "${PREFIX}")
