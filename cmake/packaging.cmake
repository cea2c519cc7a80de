# How Dawnbell lies on a Debian system, and its .deb (scripts/package runs cpack).
# CPack's DEB generator reuses the install() rules that `cmake --install` follows,
# so the package and a hand install cannot drift apart, and it needs no second
# build description (a debian/ folder) beside CMake.

set(assets ${CMAKE_SOURCE_DIR}/assets)

# Desktop integration. The icon sizes are rendered from assets/dawnbell.svg by
# cmake/svg-icons.py and kept in the tree: a plain build has no renderer
# (ImageMagick comes only with the test tools). Target `dawnbell_icons` renders them again.
install(FILES ${assets}/dawnbell.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${assets}/io.github.dawnbell.Dawnbell.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${assets}/dawnbell.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${assets}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
add_custom_target(dawnbell_icons
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/svg-icons.py ${assets}/dawnbell.svg ${assets}/icons
    COMMENT "Rendering the hicolor icons from dawnbell.svg" VERBATIM)

# Debian compresses manual pages and changelogs; -n keeps the package reproducible.
set(docs_dir ${CMAKE_BINARY_DIR}/docs)
foreach(doc dawnbell.1 changelog)
    add_custom_command(OUTPUT ${docs_dir}/${doc}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${docs_dir}
        COMMAND gzip -9n -c ${assets}/${doc} > ${docs_dir}/${doc}.gz
        DEPENDS ${assets}/${doc})
endforeach()
add_custom_target(dawnbell_docs ALL DEPENDS ${docs_dir}/dawnbell.1.gz ${docs_dir}/changelog.gz)
install(FILES ${docs_dir}/dawnbell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs_dir}/changelog.gz ${assets}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dawnbell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Dawnbell maintainers <maintainers@dawnbell.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "alarm clock with named alarm profiles")
set(CPACK_PACKAGE_DESCRIPTION "Dawnbell wakes you with a sound of your choice. It keeps named alarm
profiles, each with a time of day, the days it rings on, a sound (MP3 or
WAV), an optional rising volume and a note. Alarms ring with Snooze,
Dismiss and Disable, and keep running from the tray.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/dawnbell/dawnbell)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt plays sound through GStreamer: the MP3 and WAV decoders and the audio sink.
set(CPACK_DEBIAN_PACKAGE_DEPENDS gstreamer1.0-plugins-good)
# Native windows on a Wayland desktop; without it Qt runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_STRIP_FILES ON)
include(CPack)
