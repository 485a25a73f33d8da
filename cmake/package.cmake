# The Debian package (cpack -G DEB from a configured build, after building it): what
# cmake --install puts in /usr, with its library dependencies found from the binaries by
# dpkg-shlibdeps, plus what the programs start or read at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vumo)
set(CPACK_PACKAGE_VENDOR "The Vumo developers")
set(CPACK_PACKAGE_CONTACT "The Vumo developers <vumo@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multitrack audio recorder and editor")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vumo records, edits and mixes projects of up to 17 stereo tracks: record into
one track while the others play, mix them with per-track volume, pan and mute,
and edit with cuts, pastes and 32 effects, alone or in chains. A drum step
sequencer plays along on the MIDI output or the built-in synth.

The package holds the studio (Vumo), the command-line tools vumo-fx, vumo-mix,
vumo-cab and vumo-play, and the engine library libwavorn with its header and
pkg-config file.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The engine's soname gets a shlibs entry, and the ldconfig trigger updates the library cache.
# (CPack also writes a postinst and postrm that call ldconfig for any library in /usr/lib, with
# no switch to leave them out: redundant with the trigger, and harmless.)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VUMO_PACKAGING}/triggers)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/bin ${CMAKE_BINARY_DIR}/_CPack_Packages)
# The built-in synth's General MIDI SoundFont; the decoders' command-line tools are not
# started by any program (FFmpeg is linked), nor are cabinet tools (libgcab is linked).
# The SVG image plugin draws the studio's icons (Qt loads it, so no binary names it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, timgm6mb-soundfont | fluid-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/vumo/vumo")

# The copyright file and the changelog, where Debian keeps them.
set(VUMO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vumo)
set(VUMO_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${VUMO_CHANGELOG}
    COMMAND gzip -9nc ${VUMO_PACKAGING}/changelog > ${VUMO_CHANGELOG}
    DEPENDS ${VUMO_PACKAGING}/changelog)
add_custom_target(vumo_changelog ALL DEPENDS ${VUMO_CHANGELOG})
list(APPEND VUMO_PRODUCT_TARGETS vumo_changelog)
install(FILES ${VUMO_PACKAGING}/copyright ${VUMO_CHANGELOG} DESTINATION ${VUMO_DOC_DIR})

include(CPack)
