# Installing Vumo (cmake --install) and its Debian package (cpack -G DEB): the studio and the
# tools in bin, libwavorn with its soname and its modules in the library folder, the public
# header and pkg-config file, the help page in share/vumo, the desktop entry, icons, MIME types,
# AppStream metainfo and man pages. The build tree keeps everything in build/bin and works
# without being installed. Nothing of the tests, benchmarks or screenshot programs is installed.
include(GNUInstallDirs)

set(VUMO_APP_ID io.github.vumo.Vumo)
set(VUMO_PACKAGING ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

# Where an installed program finds its libraries, modules and data, from its own folder.
file(RELATIVE_PATH VUMO_LIBDIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH VUMO_DATADIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR})
target_compile_definitions(vumo_core PUBLIC VUMO_LIBDIR_FROM_BIN="${VUMO_LIBDIR_FROM_BIN}"
                                            VUMO_DATADIR_FROM_BIN="${VUMO_DATADIR_FROM_BIN}")
target_compile_definitions(vumo_platform PRIVATE
                           VUMO_MODULES_FROM_BIN="${VUMO_LIBDIR_FROM_BIN}/vumo")
if(TARGET vumo_app)
    target_compile_definitions(vumo_app PRIVATE VUMO_LIBDIR_FROM_BIN="${VUMO_LIBDIR_FROM_BIN}")
endif()

# libwavorn.so.1.1.0, its soname libwavorn.so.1 and the link name libwavorn.so.
set_target_properties(wavorn PROPERTIES VERSION ${PROJECT_VERSION}
                                        SOVERSION ${PROJECT_VERSION_MAJOR})

# The programs: the studio, the tools and the chain runner the studio starts beside itself.
set(VUMO_PROGRAMS vumo-fx vumo-play vumo-mix vumo-cab vumo-chain)
if(TARGET Vumo)
    list(PREPEND VUMO_PROGRAMS Vumo)
endif()
# Installed programs find libwavorn relative to themselves; the build tree keeps its own paths.
set_target_properties(${VUMO_PROGRAMS} PROPERTIES INSTALL_RPATH "$ORIGIN/${VUMO_LIBDIR_FROM_BIN}")
install(TARGETS ${VUMO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS wavorn LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
install(TARGETS wavorn LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_ONLY)
install(TARGETS vumo-media vumo-synth LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vumo)

# The public header and the pkg-config file for programs that use the engine.
install(FILES engine/api/wavorn.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# Relocatable: the prefix is found from the file's own folder.
file(RELATIVE_PATH VUMO_PREFIX_FROM_PC ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(${VUMO_PACKAGING}/wavorn.pc.in ${CMAKE_BINARY_DIR}/wavorn.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/wavorn.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The studio's data, the desktop entry, its icon in the hicolor theme, the MIME types and the
# AppStream metainfo.
install(FILES app/help/vumo.htm DESTINATION ${CMAKE_INSTALL_DATADIR}/vumo)
install(FILES ${VUMO_PACKAGING}/${VUMO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VUMO_PACKAGING}/${VUMO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VUMO_PACKAGING}/vumo-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME vumo.xml)
install(FILES app/resources/icons/vumo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${VUMO_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${VUMO_PACKAGING}/icons/vumo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${VUMO_APP_ID}.png)
endforeach()

# Man pages made from the programs' own --help at build time (cmake/ManPage.cmake).
function(vumo_man_page program summary)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
                ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
                "-DSUMMARY=${summary}" -DVERSION=${PROJECT_VERSION} -DOUTPUT=${page}
                -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ManPage.cmake
        COMMAND gzip -9nf ${page}
        DEPENDS ${program} ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ManPage.cmake
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY VUMO_MAN_PAGES ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
if(TARGET Vumo)
    vumo_man_page(Vumo "multitrack audio recorder and editor")
endif()
vumo_man_page(vumo-fx "apply Vumo's effects to a wave file")
vumo_man_page(vumo-play "play a wave file through Vumo's engine")
vumo_man_page(vumo-mix "write the mixdown of a Vumo project")
vumo_man_page(vumo-cab "pack a Vumo project into a cabinet, or open one")
vumo_man_page(vumo-chain "run the cabinet chain that Vumo wrote")
get_property(pages GLOBAL PROPERTY VUMO_MAN_PAGES)
add_custom_target(vumo_man_pages ALL DEPENDS ${pages})
list(APPEND VUMO_PRODUCT_TARGETS vumo_man_pages)

include(cmake/package.cmake)
