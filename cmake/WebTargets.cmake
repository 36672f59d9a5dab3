# The program in a browser, built with emscripten (tools/build-web.sh):
#   Sablewick.html                 the program: one self-contained page holding its code,
#                                  its resources and its scripts, which works opened from
#                                  the disk, offline
# Resources are embedded as in the other builds without Windows' resource compiler. No
# threads: a page opened from the disk cannot have the isolation they need.
include(${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake)
sablewick_embed_resources(${CMAKE_SOURCE_DIR}/resources/Sablewick.rc EMBEDDED_SOURCES)

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
