# Target-scoped warning and sanitizer options shared by every target of the project.
option(KAMBRIX_WERROR "Treat warnings as errors" OFF)
option(KAMBRIX_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
option(KAMBRIX_FUZZ "Build the libFuzzer targets (clang; implies the sanitizers)" OFF)
if(KAMBRIX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KAMBRIX_FUZZ needs clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++-14")
    endif()
    set(KAMBRIX_SANITIZE ON)
endif()

function(kambrix_target_options target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # GCC 12 reports -Wrestrict false positives inside std::string concatenation at -O2
    # (GCC bug 105329); the warning is silenced rather than the code bent around it.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(KAMBRIX_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(KAMBRIX_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(KAMBRIX_FUZZ)
        # Coverage for libFuzzer in every target; only the fuzz programs link its main.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()
