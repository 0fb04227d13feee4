# The Debian package: scripts/package builds it with `cpack -G DEB`.
set(CPACK_PACKAGE_NAME tonewright)
set(CPACK_PACKAGE_VENDOR "Tonewright")
set(CPACK_PACKAGE_CONTACT "Tonewright developers <tonewright@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sound editor and librarian for the DSI Mopho synthesizer")
# Lines of the package's long description, kept short for package tools.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tonewright edits the sounds of a DSI Mopho live over MIDI, keeps its 384"
    "sounds in banks of .syx files, and sends and receives them."
    "Also installs tonewright-syx, a command-line bank tool, and"
    "tonewright-virtual-mopho, a stand-in instrument on JACK MIDI ports.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tonewright)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tonewright_VERSION_ARCH.deb
# The library packages come from the programs' links when dpkg-shlibdeps can
# read them; without it, the ones a Debian 12 build links.
find_program(TW_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TW_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS
        libqt6widgets6 libqt6gui6 libqt6core6 librtmidi6 libsimpleini1
        "libjack-jackd2-0 | libjack0" libstdc++6 libgcc-s1 libc6)
endif()
# xdg-open starts the browser that shows the user guide; the JACK server
# gives tonewright-virtual-mopho its ports.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "jackd2")

include(CPack)
