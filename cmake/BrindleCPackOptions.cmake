# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE): what goes
# into which release file. Everything is stripped of debug information.
set(CPACK_STRIP_FILES ON)
list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 brindle_build)
if(CPACK_GENERATOR STREQUAL "DEB")
  # The SDK under /usr, with Debian's copyright file and changelog.
  set(CPACK_INSTALL_CMAKE_PROJECTS
    "${brindle_build};Brindle;Unspecified;/;${brindle_build};Brindle;Debian;/")
else()
  # The SDK, LICENSE, NOTICE and README at the top, and Glimmerball.
  set(CPACK_INSTALL_CMAKE_PROJECTS
    "${brindle_build};Brindle;Unspecified;/;${brindle_build};Brindle;Archive;/;${brindle_build};Brindle;Demo;/")
endif()
