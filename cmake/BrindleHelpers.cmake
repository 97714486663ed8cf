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
