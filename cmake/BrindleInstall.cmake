# cmake --install: what a game built outside this tree needs, under a prefix
# that may hold both targets (each configured build installs its own):
#   include/                         the public headers
#   include/nl/                      HawkNL's headers of the network library
#   lib/brindle/<target>/            the runtime library, the process entry
#                                    and network library objects and the
#                                    libraries they link with
#   bin/brindle-pack[.exe]           the media pack tool of the target
#   bin/brindle-new-game             makes a game folder from the template
#   lib/cmake/Brindle/               the CMake package and the Windows toolchain
#   share/brindle/                   the game template, the examples and the
#                                    default font
include(CMakePackageConfigHelpers)

set(package_dir lib/cmake/Brindle)
set(library_dir lib/brindle/${BRINDLE_TARGET_NAME})

install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/ DESTINATION include)
install(FILES ${BRINDLE_GENERATED_INCLUDE}/brindle_version.h DESTINATION include)
# The network library's headers for programs written for HawkNL
# (-I PREFIX/include/nl, or Brindle::nl; #include "nl.h").
install(FILES ${CMAKE_SOURCE_DIR}/src/nl/nl.h ${CMAKE_SOURCE_DIR}/src/nl/hawkthreads.h
  ${CMAKE_SOURCE_DIR}/src/nl/hawklib.h DESTINATION include/nl)
install(TARGETS brindle brindle_entry brindle_nl EXPORT BrindleTargets
  ARCHIVE DESTINATION ${library_dir}
  OBJECTS DESTINATION ${library_dir})
brindle_maths_library(maths_library)
install(FILES ${maths_library} DESTINATION ${library_dir})
# An install that strips (cmake --install --strip, the release files) takes
# the debug information out of the static libraries and objects too.
install(CODE "set(brindle_strip \"${CMAKE_STRIP}\")
  set(brindle_library_dir \"${library_dir}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB_RECURSE objects "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${brindle_library_dir}/*")
    foreach(object ${objects})
      if(object MATCHES "\\.(a|o|obj)$")
        execute_process(COMMAND "${brindle_strip}" --strip-debug "${object}" COMMAND_ERROR_IS_FATAL ANY)
      endif()
    endforeach()
  endif()]])
install(TARGETS brindle-pack RUNTIME DESTINATION bin)

install(EXPORT BrindleTargets NAMESPACE Brindle::
  FILE BrindleTargets-${BRINDLE_TARGET_NAME}.cmake DESTINATION ${package_dir})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/BrindleConfig.cmake.in
  ${CMAKE_BINARY_DIR}/BrindleConfig.cmake INSTALL_DESTINATION ${package_dir})
# One version file serves both targets: the configuration file checks the target.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/BrindleConfigVersion.cmake
  COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
install(FILES
  ${CMAKE_BINARY_DIR}/BrindleConfig.cmake
  ${CMAKE_BINARY_DIR}/BrindleConfigVersion.cmake
  ${CMAKE_SOURCE_DIR}/cmake/BrindleGame.cmake
  ${CMAKE_SOURCE_DIR}/cmake/BrindleExports.list
  ${CMAKE_SOURCE_DIR}/cmake/toolchain-i686-w64-mingw32.cmake
  DESTINATION ${package_dir})

install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/template/ DESTINATION share/brindle/template)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION share/brindle/examples
  PATTERN template EXCLUDE PATTERN __pycache__ EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/game/media/smalfont.bmp DESTINATION share/brindle/media)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/new-game DESTINATION bin RENAME brindle-new-game)
