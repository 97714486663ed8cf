# Release files, made by CPack from a configured and built tree
# (scripts/release runs it in both):
#   Linux build:    brindle-<version>-linux-x86_64.tar.gz   the SDK, Glimmerball
#                   brindle-dev_<version>_amd64.deb         the SDK under /usr
#   Windows build:  brindle-<version>-windows-i386-sdk.zip  the SDK, Glimmerball
# The SDK is what cmake --install puts under a prefix (BrindleInstall.cmake).
# The archives add, at their top, LICENSE, NOTICE, a README and Glimmerball
# with its media packed in (the components Archive and Demo); the Debian
# package adds its copyright file and changelog instead (component Debian).
# Those three components are left out of a plain cmake --install.

set(CPACK_PACKAGE_NAME brindle)
set(CPACK_PACKAGE_VENDOR "the Brindle developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "game runtime in C++: one OpenGL window, 2D, 3D, sound, network games")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/BrindleCPackOptions.cmake)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME brindle-${PROJECT_VERSION}-windows-i386-sdk)
else()
  set(CPACK_GENERATOR "TGZ;DEB")
  set(CPACK_PACKAGE_FILE_NAME brindle-${PROJECT_VERSION}-linux-x86_64)

  set(CPACK_DEBIAN_PACKAGE_NAME brindle-dev)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # brindle-dev_<version>_amd64.deb
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brindle developers <brindle@brindle.invalid>")
  # The summary above is the first line; this is the extended description.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Brindle is a game runtime. A game program written against it links into one
self-contained executable with one OpenGL window: 2D sprites and fonts, a 3D
engine, input, sound, music and video, files, network games, HTTP and A*
pathfinding, with its media packed into the executable.
.
This package holds the headers, the static libraries and the CMake package
(find_package(Brindle)) for Linux games, the media pack tool brindle-pack,
brindle-new-game, which makes a game folder from the template, and the
examples.")
  # What a game needs to build (the presets use Ninja) and to run. The
  # FFmpeg libraries are loaded when a game plays its first video, so they
  # are recommended only: the sonames the runtime was built for.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "cmake (>= 3.25), ninja-build, g++, pkg-config, libsdl2-dev, \
libsdl2-mixer-dev, libx11-dev, libgl-dev")
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(BRINDLE_AV REQUIRED libavformat libavcodec libavutil libswscale libswresample)
  set(recommends)
  foreach(lib libavformat libavcodec libavutil libswscale libswresample)
    string(REGEX MATCH "^[0-9]+" major "${BRINDLE_AV_${lib}_VERSION}")
    list(APPEND recommends ${lib}${major})
  endforeach()
  list(APPEND recommends zenity libgl1-mesa-dri)  # file dialogs; a GL driver
  list(JOIN recommends ", " CPACK_DEBIAN_PACKAGE_RECOMMENDS)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3, wine")  # the examples' media; Windows builds
  # The libraries brindle-pack itself needs (libc6, libstdc++6, liblzo2-2).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

  # Debian's copyright file and changelog (a native package: changelog.gz).
  set(debian_docs ${CMAKE_BINARY_DIR}/debian-docs)
  file(MAKE_DIRECTORY ${debian_docs})
  file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
  file(WRITE ${debian_docs}/copyright
    "Brindle, a game runtime\n\nCopyright and licence of Brindle (zlib licence):\n\n${licence}\n"
    "What the games built with it contain, and the licences of those parts,\n"
    "is listed in /usr/share/doc/brindle-dev/NOTICE.\n")
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  file(WRITE ${debian_docs}/changelog
    "brindle-dev (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
    "  * Release ${PROJECT_VERSION}.\n\n -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}\n")
  execute_process(COMMAND gzip -9nf ${debian_docs}/changelog)
  install(FILES ${debian_docs}/copyright ${debian_docs}/changelog.gz ${CMAKE_SOURCE_DIR}/NOTICE
    DESTINATION share/doc/brindle-dev COMPONENT Debian EXCLUDE_FROM_ALL)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/NOTICE DESTINATION .
  COMPONENT Archive EXCLUDE_FROM_ALL)
configure_file(${CMAKE_SOURCE_DIR}/cmake/release-readme.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION . COMPONENT Archive EXCLUDE_FROM_ALL)

include(CPack)
