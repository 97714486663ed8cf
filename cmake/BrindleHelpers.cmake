# brindle_add_game(NAME SOURCES...): a game executable = the game's sources,
# the runtime's process entry (main / WinMain) and the runtime library.
function(brindle_add_game name)
  add_executable(${name} WIN32 ${ARGN} $<TARGET_OBJECTS:brindle_entry>)
  target_link_libraries(${name} PRIVATE brindle)
  if(WIN32)
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# Third-party libraries built for the Windows target by scripts/setup.
function(brindle_cross_prefix out)
  if(BRINDLE_CROSS_PREFIX)
    set(${out} ${BRINDLE_CROSS_PREFIX} PARENT_SCOPE)
  else()
    set(${out} ${CMAKE_SOURCE_DIR}/build/cross-i686 PARENT_SCOPE)
  endif()
endfunction()

# brindle_pack_media(TARGET FILES...): after each link, keep an unpacked copy
# of the executable (<name>-nopack) and append FILES to it as a media pack
# with brindle-pack. Windows builds run the host's brindle-pack when a Linux
# build exists beside them, else the Windows tool under Wine.
function(brindle_pack_media target)
  add_dependencies(${target} brindle-pack)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}>
            $<TARGET_FILE_DIR:${target}>/${target}-nopack$<TARGET_FILE_SUFFIX:${target}>
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/pack-media $<TARGET_FILE:brindle-pack>
            $<TARGET_FILE:${target}> ${ARGN}
    COMMENT "Appending media to ${target}"
    VERBATIM)
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
