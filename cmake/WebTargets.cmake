# The program in a browser, built with emscripten (tools/build-web.sh):
#   Sablewick.html                 the program: one self-contained page holding its code,
#                                  its resources and its scripts, which works opened from
#                                  the disk, offline
# Resources are embedded as in the other builds without Windows' resource compiler. No
# threads: a page opened from the disk cannot have the isolation they need.
include(${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake)
sablewick_embed_resources(${CMAKE_SOURCE_DIR}/resources/Sablewick.rc EMBEDDED_SOURCES)

# The program catches its errors (EError, in the window events' guard and FormCreate):
# Emscripten catches none unless told, and a throw would end the program instead.
target_compile_options(sablewick_core PUBLIC -fexceptions)
target_link_options(sablewick_core PUBLIC -fexceptions)

file(GLOB WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/*.cpp)
add_library(sablewick_web STATIC ${WEB_SOURCES}
    ${CMAKE_SOURCE_DIR}/platform/posix/EmbeddedResources.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/PosixFiles.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/PosixText.cpp ${EMBEDDED_SOURCES})
target_link_libraries(sablewick_web PUBLIC sablewick_core)

set(SABLEWICK_WEB_PAGE_JS ${CMAKE_SOURCE_DIR}/platform/web/WebPage.js)
set(SABLEWICK_WEB_SHELL ${CMAKE_SOURCE_DIR}/platform/web/Shell.html)
# The waits of the program (its loop, a menu, a message box) suspend it until the page
# answers; the page's script calls in only to end the session.
set(SABLEWICK_WEB_LINK_OPTIONS
    -sASYNCIFY=1
    -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=33554432
    -sTOTAL_STACK=1048576
    -sSINGLE_FILE=1
    # Debian's emscripten cannot start its HTML minifier; the page is small beside the
    # program it holds.
    -sMINIFY_HTML=0
    -sENVIRONMENT=web
    "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free','_sw_end_session']"
    "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString']"
    --pre-js ${SABLEWICK_WEB_PAGE_JS})

add_executable(Sablewick ${CMAKE_SOURCE_DIR}/platform/web/main/WebMain.cpp)
target_link_libraries(Sablewick PRIVATE sablewick_web)
set_target_properties(Sablewick PROPERTIES SUFFIX ".html"
    LINK_DEPENDS "${SABLEWICK_WEB_PAGE_JS};${SABLEWICK_WEB_SHELL}")
target_link_options(Sablewick PRIVATE ${SABLEWICK_WEB_LINK_OPTIONS}
    --shell-file ${SABLEWICK_WEB_SHELL})

# Served over http(s) rather than opened from the disk, the page names a web manifest and
# icons beside it, so a phone can put it on its home screen: the icons are the program's
# own, MAINICON.ico's largest picture enlarged pixel by pixel.
find_program(SABLEWICK_MAGICK convert)
if(SABLEWICK_MAGICK)
    set(_icon ${CMAKE_SOURCE_DIR}/resources/MAINICON.ico)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Sablewick-192.png ${CMAKE_BINARY_DIR}/Sablewick-512.png
        COMMAND ${SABLEWICK_MAGICK} "${_icon}[2]" -filter point -resize 192x192
            ${CMAKE_BINARY_DIR}/Sablewick-192.png
        COMMAND ${SABLEWICK_MAGICK} "${_icon}[2]" -filter point -resize 512x512
            ${CMAKE_BINARY_DIR}/Sablewick-512.png
        DEPENDS ${_icon}
        COMMENT "Home-screen icons from MAINICON.ico")
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Sablewick.webmanifest
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/platform/web/Sablewick.webmanifest
            ${CMAKE_BINARY_DIR}/Sablewick.webmanifest
        DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/Sablewick.webmanifest)
    add_custom_target(sablewick_web_manifest ALL DEPENDS ${CMAKE_BINARY_DIR}/Sablewick-192.png
        ${CMAKE_BINARY_DIR}/Sablewick-512.png ${CMAKE_BINARY_DIR}/Sablewick.webmanifest)
else()
    message(STATUS "ImageMagick's convert not found: no home-screen icons for the web page")
endif()

# The platform contract test on this backend, in a page like the program's (the same
# shell and page script, and the probe's page side), run in Chromium by
# tests/web/contract.mjs: sablewick_contract_tests.html. GoogleTest comes from the deps
# prefix (tools/build-wasm-deps.sh) through GTest_DIR.
find_package(GTest QUIET CONFIG)
if(GTest_FOUND)
    set(SABLEWICK_CONTRACT_PAGE_JS ${CMAKE_SOURCE_DIR}/tests/web/ContractPage.js)
    add_executable(sablewick_contract_tests ${CMAKE_SOURCE_DIR}/tests/unit/PlatformContractTest.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/TestPlatform_web.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/WebTestMain.cpp)
    target_include_directories(sablewick_contract_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(sablewick_contract_tests PRIVATE sablewick_web GTest::gtest)
    # The program's options, but its own exports: the test page has no session to end.
    set(_contract_options ${SABLEWICK_WEB_LINK_OPTIONS})
    list(FILTER _contract_options EXCLUDE REGEX "EXPORTED_FUNCTIONS")
    set_target_properties(sablewick_contract_tests PROPERTIES SUFFIX ".html"
        LINK_DEPENDS "${SABLEWICK_WEB_PAGE_JS};${SABLEWICK_WEB_SHELL};${SABLEWICK_CONTRACT_PAGE_JS}")
    target_link_options(sablewick_contract_tests PRIVATE ${_contract_options}
        "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free']"
        # SHELL: a second --pre-js would be taken for a duplicate and dropped.
        "SHELL:--pre-js ${SABLEWICK_CONTRACT_PAGE_JS}" "SHELL:--shell-file ${SABLEWICK_WEB_SHELL}")
else()
    message(STATUS "GoogleTest for wasm not found: no web contract test page")
endif()
