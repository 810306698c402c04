# The fuzz targets need clang's libFuzzer, so they get a build of their own inside this one,
# and CTest runs each for a bounded time over a copy of its seed corpus.
include(ExternalProject)

find_program(SORTWELL_CLANGXX NAMES clang++ clang++-14)
set(SORTWELL_FUZZ_SECONDS 45 CACHE STRING "How long each fuzz target runs in the test suite")

if(NOT SORTWELL_CLANGXX)
    message(WARNING "clang++ not found: the fuzz targets are not built or run")
    return()
endif()

set(fuzz_build ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(sortwell_fuzzers
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${fuzz_build}
    CMAKE_ARGS
        -DCMAKE_CXX_COMPILER=${SORTWELL_CLANGXX}
        -DCMAKE_BUILD_TYPE=RelWithDebInfo
        -DSORTWELL_BUILD_FUZZERS=ON
        -DSORTWELL_BUILD_APP=OFF
        -DSORTWELL_BUILD_TESTS=OFF
        -DSORTWELL_BUILD_BENCH=OFF
        -DSORTWELL_WERROR=${SORTWELL_WERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

foreach(target ini_reader settings_file sequence)
    set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${target})
    set(max_len 65536)
    if(target STREQUAL "ini_reader")
        set(seeds ini)
    elseif(target STREQUAL "sequence")
        set(seeds sequence)
        # Each step looks its line up from the top, so a run over every line is quadratic;
        # a sequence typed into the editor is far shorter than this.
        set(max_len 4096)
    else()
        set(seeds settings)
    endif()
    add_test(NAME fuzz_${target}
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            ${fuzz_build}/tests/fuzz/${target}_fuzzer
            -max_total_time=${SORTWELL_FUZZ_SECONDS} -max_len=${max_len} -rss_limit_mb=2048
            -print_final_stats=1
            ${corpus} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${seeds})
    set_tests_properties(fuzz_${target} PROPERTIES
        TIMEOUT 300
        FIXTURES_REQUIRED fuzz_corpus_${target})
    add_test(NAME fuzz_corpus_setup_${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus})
    set_tests_properties(fuzz_corpus_setup_${target} PROPERTIES
        FIXTURES_SETUP fuzz_corpus_${target})
endforeach()
