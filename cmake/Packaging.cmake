# The Debian package made by CPack (scripts/package.sh): quillmarch_<version>_<arch>.deb with
# the install component "program" only. Its Depends come from the binary's libraries.
if(NOT TARGET quillmarch)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmarch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillmarch developers")
set(CPACK_PACKAGE_CONTACT "${QM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Langton's ant with many ants on an unbounded grid")
# Two sentences under the summary, in lines short enough for the control file; CPack indents
# them as it wants.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Quillmarch runs Langton's ant with many ants at once on a grid without edges,"
  "or a variant with up to 64 colours and a turn program per ant, and paints the"
  "squares they turn. Runs can be paused, saved, continued later and exported as"
  "pictures, and long runs need no window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QM_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Only the program's component: whatever else a build might install stays out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${QM_COMPONENT};/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_THREADS 0)
include(CPack)
