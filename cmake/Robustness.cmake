# Fuzz targets and their corpus replay.
#
# Every target in tests/fuzz is an LLVMFuzzerTestOneInput over one of the program's
# readers. In every build, each is linked with tests/fuzz/ReplayMain.cpp into a small
# replay program, and a test runs its committed corpus (tests/fuzz/corpus/<target>)
# through it: the corpus is a regression suite of the normal test run, under whatever
# compiler and sanitizers the build uses.
#
# With SABLEWICK_FUZZ=ON and clang, the same sources are also linked with libFuzzer into
# fuzz_<target> (tests/robustness/run.sh configures such a build in build/fuzz, with the
# whole core instrumented for coverage, AddressSanitizer and UBSan).

option(SABLEWICK_FUZZ "Build the libFuzzer targets (clang only)" OFF)

set(SABLEWICK_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)
# name, source, extra definition
set(SABLEWICK_FUZZ_TARGETS
    "settings|FuzzSettings.cpp|"
    "seen_text|FuzzSeenText.cpp|"
    "sjis|FuzzSjis.cpp|"
    "jpeg|FuzzImages.cpp|FUZZ_JPEG"
    "bmp|FuzzImages.cpp|FUZZ_BMP"
    "wave|FuzzImages.cpp|FUZZ_WAVE"
    "cursor|FuzzImages.cpp|FUZZ_CURSOR"
    "region|FuzzRegion.cpp|"
    "card_text|FuzzCardText.cpp|")

set(SABLEWICK_FUZZ_NAMES "")
foreach(entry ${SABLEWICK_FUZZ_TARGETS})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 source)
    list(LENGTH parts count)
    set(define "")
    if(count GREATER 2)
        list(GET parts 2 define)
    endif()
    list(APPEND SABLEWICK_FUZZ_NAMES ${name})

    add_executable(replay_${name} ${SABLEWICK_FUZZ_DIR}/${source} ${SABLEWICK_FUZZ_DIR}/ReplayMain.cpp)
    target_include_directories(replay_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(replay_${name} PRIVATE sablewick_headless)
    target_compile_definitions(replay_${name} PRIVATE SABLEWICK_REPLAY=1)
    if(define)
        target_compile_definitions(replay_${name} PRIVATE ${define})
    endif()
    add_test(NAME fuzz_corpus_${name}
        COMMAND replay_${name} ${SABLEWICK_FUZZ_DIR}/corpus/${name})

    if(SABLEWICK_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        add_executable(fuzz_${name} ${SABLEWICK_FUZZ_DIR}/${source})
        target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
        target_link_libraries(fuzz_${name} PRIVATE sablewick_headless)
        target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        if(define)
            target_compile_definitions(fuzz_${name} PRIVATE ${define})
        endif()
        list(APPEND SABLEWICK_FUZZ_BUILT fuzz_${name})
    endif()
endforeach()

# The names, one a line, for tests/robustness/run.sh: the list above is the only one.
list(JOIN SABLEWICK_FUZZ_NAMES "\n" SABLEWICK_FUZZ_LINES)
file(WRITE ${CMAKE_BINARY_DIR}/fuzz_targets.txt "${SABLEWICK_FUZZ_LINES}\n")

if(SABLEWICK_FUZZ_BUILT)
    add_custom_target(fuzz_targets DEPENDS ${SABLEWICK_FUZZ_BUILT})
elseif(SABLEWICK_FUZZ)
    message(WARNING "SABLEWICK_FUZZ needs clang; only the corpus replay is built")
endif()
