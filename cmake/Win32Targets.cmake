# The Windows targets, cross-compiled with cmake/mingw-i686-posix.cmake (the 32-bit
# program we release) or cmake/mingw-x86_64-posix.cmake:
#   Sablewick.exe        the program (GUI subsystem)
#   sablewick_tests.exe  the unit tests on the real Win32 backend (console), run by Wine
# Both link libgcc, libstdc++ and winpthread statically, so the program runs on its own
# on a bare Windows; tests/e2e/check_imports.sh holds the import table to that.

# The entry point is the program's, in platform/win32/main/, as every backend's is.
file(GLOB WIN32_BACKEND_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)

add_library(sablewick_win32 STATIC ${WIN32_BACKEND_SOURCES})
# uuid is a static library of interface ids (no DLL). The DLLs that only some of the work
# needs (shell32, ole32, winmm; oleacc and oleaut32 when a screen reader asks) are loaded
# at their first use from the system folder (platform/win32/Win32Libraries.cpp), so the
# start does not wait for them; imm32 stays imported, as user32 loads it anyway.
target_link_libraries(sablewick_win32 PUBLIC sablewick_core user32 gdi32 imm32 uuid)
# The backend speaks the wide API and says so itself; nothing may fall back to the
# ANSI code page by a macro.
target_compile_definitions(sablewick_win32 PUBLIC UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)

# The one resource script. Its objects go straight into each executable: a resource
# object inside a static library would be dropped by the linker, since no symbol of it
# is ever referenced.
set(SABLEWICK_RC ${CMAKE_SOURCE_DIR}/resources/Sablewick.rc)
add_library(sablewick_resources OBJECT ${SABLEWICK_RC} ${CMAKE_BINARY_DIR}/manifest.rc)
target_include_directories(sablewick_resources PRIVATE ${CMAKE_SOURCE_DIR}/resources)
# windres reads the files the script names; rebuild when any of them changes.
file(STRINGS ${SABLEWICK_RC} _rc_lines)
set(_rc_deps "")
foreach(_line IN LISTS _rc_lines)
    if(_line MATCHES "^[A-Za-z0-9_]+[ \t]+[A-Za-z0-9_]+[ \t]+\"([^\"]+)\"")
        list(APPEND _rc_deps ${CMAKE_SOURCE_DIR}/resources/${CMAKE_MATCH_1})
    endif()
endforeach()
set_source_files_properties(${SABLEWICK_RC} PROPERTIES OBJECT_DEPENDS "${_rc_deps}")
set_source_files_properties(${CMAKE_BINARY_DIR}/manifest.rc PROPERTIES OBJECT_DEPENDS
    "${SABLEWICK_MANIFEST};${SABLEWICK_MESSAGEBOX_MANIFEST}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SABLEWICK_RC})

set(SABLEWICK_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

add_executable(Sablewick WIN32 ${CMAKE_SOURCE_DIR}/platform/win32/main/WinMain.cpp
    $<TARGET_OBJECTS:sablewick_resources>)
target_link_libraries(Sablewick PRIVATE sablewick_win32 -Wl,-Bstatic -lwinpthread)
target_link_options(Sablewick PRIVATE ${SABLEWICK_STATIC_RUNTIME})
set_target_properties(Sablewick PROPERTIES OUTPUT_NAME Sablewick)
# Product name, version and description, generated from the project's version; only the
# program carries it.
target_sources(Sablewick PRIVATE ${CMAKE_BINARY_DIR}/version.rc)

find_package(GTest CONFIG REQUIRED)
add_executable(sablewick_tests ${UNIT_TEST_SOURCES}
    ${CMAKE_SOURCE_DIR}/tests/support/TestPlatform_win32.cpp
    $<TARGET_OBJECTS:sablewick_resources>)
target_include_directories(sablewick_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(sablewick_tests PRIVATE sablewick_win32 GTest::gtest GTest::gtest_main
    -Wl,-Bstatic -lwinpthread)
target_link_options(sablewick_tests PRIVATE ${SABLEWICK_STATIC_RUNTIME})

# Asks Windows (Wine) about a window by caption for the end-to-end tests.
add_executable(sablewick_winprobe ${CMAKE_SOURCE_DIR}/tests/e2e/winprobe.cpp)
target_link_libraries(sablewick_winprobe PRIVATE user32 gdi32 shell32 oleacc ole32 oleaut32 uuid)
target_link_options(sablewick_winprobe PRIVATE ${SABLEWICK_STATIC_RUNTIME})

# Under Wine: the unit tests, then the program end to end (tests/e2e/run_wine_tests.sh
# runs both in a fresh Wine prefix of the build folder, on its own X server).
enable_testing()
add_test(NAME import_table
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/check_imports.sh $<TARGET_FILE:Sablewick>
            $<TARGET_FILE:sablewick_tests>)
add_test(NAME wine_end_to_end
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run_wine_tests.sh ${CMAKE_BINARY_DIR})
set_tests_properties(wine_end_to_end PROPERTIES TIMEOUT 600)

# The installer and the zip: cmake --build <dir> --target package
include(${CMAKE_SOURCE_DIR}/cmake/Packaging.cmake)
