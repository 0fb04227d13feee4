# tonewright-virtual-mopho: the virtual instrument on JACK MIDI ports.
find_package(PkgConfig REQUIRED)
if(NOT TARGET PkgConfig::RTMIDI)
    pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET rtmidi)
endif()

add_executable(tonewright-virtual-mopho virtual_mopho_main.cpp)
target_link_libraries(tonewright-virtual-mopho PRIVATE tw_midi tw_cli PkgConfig::RTMIDI
    PkgConfig::JACK)
target_compile_definitions(tonewright-virtual-mopho PRIVATE
    TONEWRIGHT_VERSION="${PROJECT_VERSION}")
