include(${CMAKE_CURRENT_LIST_DIR}/BrindleGame.cmake)

# Third-party libraries built for the Windows target by scripts/setup.
function(brindle_cross_prefix out)
  if(BRINDLE_CROSS_PREFIX)
    set(${out} ${BRINDLE_CROSS_PREFIX} PARENT_SCOPE)
  else()
    set(${out} ${CMAKE_SOURCE_DIR}/build/cross-i686 PARENT_SCOPE)
  endif()
endfunction()

# The maths library of this target, built from musl's sources by scripts/setup.
function(brindle_maths_library out)
  if(WIN32)
    set(target windows-i386)
  else()
    set(target linux)
  endif()
  set(BRINDLE_MATHS_LIBRARY ${CMAKE_SOURCE_DIR}/build/maths/${target}/libmusl_maths.a CACHE FILEPATH
    "The maths library (musl's C sources) built by scripts/setup for this target")
  if(NOT EXISTS ${BRINDLE_MATHS_LIBRARY})
    message(FATAL_ERROR "${BRINDLE_MATHS_LIBRARY} is missing: run scripts/setup")
  endif()
  set(${out} ${BRINDLE_MATHS_LIBRARY} PARENT_SCOPE)
endfunction()

# brindle_install_packed(TARGET FILES...): for the release archives only
# (install component Demo), the game's executable at the top of the archive
# with FILES packed in, ready to play. When the install strips (the release
# does), the unpacked executable is stripped of its debug information before
# the pack is appended: stripping afterwards would cut the pack off.
function(brindle_install_packed target)
  set(files)
  foreach(file ${ARGN})
    get_filename_component(file ${file} ABSOLUTE)
    list(APPEND files ${file})
  endforeach()
  set(unpacked $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>-nopack$<TARGET_FILE_SUFFIX:${target}>)
  install(CODE "
    set(to \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:${target}>\")
    message(STATUS \"Installing: \${to} (media packed in)\")
    file(COPY_FILE \"${unpacked}\" \"\${to}\")
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug \"\${to}\" COMMAND_ERROR_IS_FATAL ANY)
    endif()
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/pack-media $<TARGET_FILE:brindle-pack> add
      \"\${to}\" ${files} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)"
    COMPONENT Demo EXCLUDE_FROM_ALL)
endfunction()
