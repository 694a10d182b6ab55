# What `cmake --install` and the package put on a system: the program, its manual page, the
# desktop entry and icon, the world files' MIME type and icon, the AppStream metainfo, and the
# Debian copyright and changelog. Everything goes into the install component "program"; the
# developer's tools (the benchmarks, the tests) have no install rules.
if(NOT TARGET quillmarch)
  return()
endif()

include(GNUInstallDirs)
set(QM_COMPONENT program)
set(QM_MAINTAINER "Quillmarch developers <developers@quillmarch.example.org>")
set(QM_HOMEPAGE "https://quillmarch.example.org/")
set(QM_DATA ${CMAKE_CURRENT_LIST_DIR}/../data)
set(QM_GENERATED ${CMAKE_BINARY_DIR}/install-data)

# Dates in the metainfo and the changelog: SOURCE_DATE_EPOCH, when set, makes them reproducible.
string(TIMESTAMP QM_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP QM_RELEASE_TIME "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${QM_DATA}/org.example.quillmarch.metainfo.xml
  ${QM_GENERATED}/org.example.quillmarch.metainfo.xml @ONLY)
configure_file(${QM_DATA}/changelog.in ${QM_GENERATED}/changelog @ONLY)

# Compressed as Debian wants them: best compression, no name or time in the header.
find_program(QM_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${QM_GENERATED}/changelog.gz
  COMMAND ${QM_GZIP} -9nc ${QM_GENERATED}/changelog > ${QM_GENERATED}/changelog.gz
  DEPENDS ${QM_GENERATED}/changelog
  VERBATIM)

# The manual page is the program's own --help with a hand-written part added, so the two
# never disagree; without help2man the build goes on without it.
find_program(QM_HELP2MAN help2man)
set(QM_GENERATED_OUTPUTS ${QM_GENERATED}/changelog.gz)
if(QM_HELP2MAN)
  add_custom_command(OUTPUT ${QM_GENERATED}/quillmarch.1 ${QM_GENERATED}/quillmarch.1.gz
    COMMAND ${QM_HELP2MAN} --no-info --no-discard-stderr --section=1
            --include=${QM_DATA}/quillmarch.h2m --output=${QM_GENERATED}/quillmarch.1
            $<TARGET_FILE:quillmarch>
    COMMAND ${QM_GZIP} -9nc ${QM_GENERATED}/quillmarch.1 > ${QM_GENERATED}/quillmarch.1.gz
    DEPENDS quillmarch ${QM_DATA}/quillmarch.h2m
    VERBATIM)
  list(APPEND QM_GENERATED_OUTPUTS ${QM_GENERATED}/quillmarch.1.gz)
  install(FILES ${QM_GENERATED}/quillmarch.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${QM_COMPONENT})
else()
  message(WARNING "help2man not found: no manual page (scripts/deps.sh installs it)")
endif()
add_custom_target(quillmarch-install-data ALL DEPENDS ${QM_GENERATED_OUTPUTS})

install(TARGETS quillmarch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${QM_COMPONENT})
install(FILES ${QM_DATA}/quillmarch.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ${QM_COMPONENT})
install(FILES ${QM_DATA}/quillmarch.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT ${QM_COMPONENT})
# World files show the program's icon, under the name file managers look up for their type.
install(FILES ${QM_DATA}/quillmarch.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
  RENAME application-x-quillmarch-world.svg COMPONENT ${QM_COMPONENT})
install(FILES ${QM_DATA}/quillmarch-world.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quillmarch.xml COMPONENT ${QM_COMPONENT})
install(FILES ${QM_GENERATED}/org.example.quillmarch.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT ${QM_COMPONENT})
install(FILES ${QM_DATA}/copyright ${QM_GENERATED}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmarch COMPONENT ${QM_COMPONENT})
