# The libraries that use no Qt, and their tests: what scripts/test-windows
# cross-builds and runs under Wine.
add_subdirectory(src/sound)
add_subdirectory(src/randomizer)
add_subdirectory(src/tools/core)
add_subdirectory(src/editor/core)

# The file layer goes through Qt on Windows (src/io/file_io_windows.cpp), so only
# its header is here: the schema files, which read and write through it, are
# left out of this build's tests.
add_library(tw_io INTERFACE)
target_include_directories(tw_io INTERFACE ${PROJECT_SOURCE_DIR}/src/io)

if(TONEWRIGHT_TESTS)
    enable_testing()
    find_package(GTest REQUIRED)
    add_subdirectory(tests)
endif()
