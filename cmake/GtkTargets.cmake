# The native Linux desktop program on the GTK 3 backend, built when pkg-config finds
# GTK 3 and SDL 2 (tools/setup.sh installs both):
#   sablewick            the program
#   sablewick_gtk_tests  the platform contract test and the backend's own tests, run on
#                        this backend under an X server (by CTest, and by
#                        tests/gtk/run_gtk_tests.sh)
# Resources are embedded as in the headless build (EMBEDDED_SOURCES).
# The sanitizer build checks the portable core; its tests never open a display.
if(SABLEWICK_SANITIZE)
    return()
endif()
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(GTK3 QUIET IMPORTED_TARGET gtk+-3.0)
    pkg_check_modules(SDL2 QUIET IMPORTED_TARGET sdl2)
    pkg_check_modules(X11 QUIET IMPORTED_TARGET x11)
    # What the platform contract test asks the X server about the pointer it shows.
    pkg_check_modules(XFIXES QUIET IMPORTED_TARGET xfixes)
    # What GTK itself rests on, named for the font measuring of GtkControls.cpp.
    pkg_check_modules(PANGOFT2 QUIET IMPORTED_TARGET pangoft2 fontconfig harfbuzz)
endif()
if(NOT (GTK3_FOUND AND SDL2_FOUND AND X11_FOUND AND PANGOFT2_FOUND AND XFIXES_FOUND))
    message(STATUS "GTK 3, SDL 2 or X11 (Xfixes) development files not found: no native desktop build")
    return()
endif()

file(GLOB GTK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/gtk/*.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/*.cpp)
add_library(sablewick_gtk STATIC ${GTK_SOURCES} ${EMBEDDED_SOURCES})
# The toolkits' headers are system headers: -Wall -Wextra speak about our code only.
target_link_libraries(sablewick_gtk PUBLIC sablewick_core PkgConfig::GTK3 PkgConfig::X11
    PkgConfig::PANGOFT2)
# SDL is loaded by the first sound (platform/gtk/GtkSound.cpp): its headers only, no link.
find_package(Threads REQUIRED)
target_include_directories(sablewick_gtk SYSTEM PRIVATE ${SDL2_INCLUDE_DIRS})
target_compile_options(sablewick_gtk PRIVATE ${SDL2_CFLAGS_OTHER})
target_link_libraries(sablewick_gtk PUBLIC ${CMAKE_DL_LIBS} Threads::Threads)

add_executable(sablewick ${CMAKE_SOURCE_DIR}/platform/gtk/main/GtkMain.cpp)
target_link_libraries(sablewick PRIVATE sablewick_gtk)
# The C++ runtime linked in: the little of it the program uses is bound when it is built,
# instead of libstdc++ being loaded, relocated and initialised at every start (a few
# milliseconds of a start of some fifty). Nothing else in the process uses C++.
target_link_options(sablewick PRIVATE -static-libstdc++ -static-libgcc)

find_package(GTest QUIET)
if(GTest_FOUND)
    file(GLOB GTK_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/gtk/*.cpp)
    add_executable(sablewick_gtk_tests ${CMAKE_SOURCE_DIR}/tests/unit/PlatformContractTest.cpp
        ${GTK_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/TestPlatform_gtk.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/PosixProbe.cpp)
    target_include_directories(sablewick_gtk_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(sablewick_gtk_tests PRIVATE sablewick_gtk PkgConfig::XFIXES GTest::gtest
        GTest::gtest_main)
    # Run by CTest on an X server of its own: a fixture starts Xvfb before and stops it
    # after (cmake/xvfb_fixture.sh).
    find_program(SABLEWICK_XVFB Xvfb)
    if(SABLEWICK_XVFB)
        set(_display ${CMAKE_BINARY_DIR}/ctest-display)
        set(_fixture ${CMAKE_SOURCE_DIR}/cmake/xvfb_fixture.sh)
        add_test(NAME gtk_display_start COMMAND bash ${_fixture} start ${_display})
        add_test(NAME gtk_backend_tests
            COMMAND bash ${_fixture} run ${_display} $<TARGET_FILE:sablewick_gtk_tests>
                --gtest_color=no)
        add_test(NAME gtk_display_stop COMMAND bash ${_fixture} stop ${_display})
        set_tests_properties(gtk_display_start PROPERTIES FIXTURES_SETUP gtk_display)
        set_tests_properties(gtk_display_stop PROPERTIES FIXTURES_CLEANUP gtk_display)
        set_tests_properties(gtk_backend_tests PROPERTIES FIXTURES_REQUIRED gtk_display
            TIMEOUT 600 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
            ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8;GTK_A11Y=none;NO_AT_BRIDGE=1")
    else()
        message(STATUS "Xvfb not found: the GTK backend's tests are not registered in CTest")
    endif()
endif()

# What tools/bench.sh measures the program against: the least a GTK 3 window costs (no GL),
# an empty GTK 3 window as GTK makes it by default (GL allowed), the time from a start to
# a window mapped, and one card-turn step's present.
add_executable(sablewick_gtk_plain_window ${CMAKE_SOURCE_DIR}/tests/gtk/bench/PlainGtkWindow.c)
target_link_libraries(sablewick_gtk_plain_window PRIVATE PkgConfig::GTK3)
add_executable(sablewick_gtk_empty_window ${CMAKE_SOURCE_DIR}/tests/gtk/bench/EmptyGtkWindow.c)
target_link_libraries(sablewick_gtk_empty_window PRIVATE PkgConfig::GTK3)
add_executable(sablewick_time_to_map ${CMAKE_SOURCE_DIR}/tests/gtk/bench/TimeToMap.c)
target_link_libraries(sablewick_time_to_map PRIVATE PkgConfig::X11)
add_executable(sablewick_gtk_present_bench ${CMAKE_SOURCE_DIR}/tests/gtk/bench/PresentBench.cpp)
target_link_libraries(sablewick_gtk_present_bench PRIVATE sablewick_gtk)
target_include_directories(sablewick_gtk_present_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)

include(${CMAKE_SOURCE_DIR}/cmake/PackagingLinux.cmake)
