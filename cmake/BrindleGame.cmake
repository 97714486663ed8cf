# Building a Brindle game: the same two functions inside Brindle's own source
# tree and in the installed package (find_package(Brindle)).
#
# brindle_add_game(NAME SOURCES...)
#   An executable from the game's sources (GameMain and gameSettings), the
#   runtime's process entry (main / WinMain) and the runtime library. The
#   Windows .exe is linked statically and imports only system DLLs. It
#   exports the network library's entry points under their plain names (the
#   Windows export table without @N suffixes; the Linux dynamic symbols).
#
# brindle_pack_media(NAME FILES...)
#   After each link, keeps an unpacked copy (NAME-nopack) and appends FILES to
#   the executable as a media pack under their base names, so the game needs
#   no files beside it. Relative paths are taken from the current source
#   directory; changing one of the files relinks the game.

function(brindle_add_game name)
  add_executable(${name} WIN32 ${ARGN} $<TARGET_OBJECTS:Brindle::entry> $<TARGET_OBJECTS:Brindle::nl>)
  target_link_libraries(${name} PRIVATE Brindle::brindle)
  if(WIN32)
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
  else()
    target_link_options(${name} PRIVATE
      -Wl,--dynamic-list=${CMAKE_CURRENT_FUNCTION_LIST_DIR}/BrindleExports.list)
  endif()
endfunction()

function(brindle_pack_media target)
  set(files)
  foreach(file ${ARGN})
    get_filename_component(file ${file} ABSOLUTE)
    list(APPEND files ${file})
  endforeach()
  if(TARGET brindle-pack)
    # Brindle's own tree: the tool of this build (for a Windows build the
    # script prefers the Linux build's tool and falls back on Wine).
    set(pack ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../scripts/pack-media $<TARGET_FILE:brindle-pack>)
    add_dependencies(${target} brindle-pack)
  else()
    # The installed package: the host's tool when the Linux target is
    # installed under the same prefix, else the Windows tool under Wine.
    get_filename_component(prefix ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../../.. ABSOLUTE)
    if(EXISTS ${prefix}/bin/brindle-pack)
      set(pack ${prefix}/bin/brindle-pack)
    elseif(EXISTS ${prefix}/bin/brindle-pack.exe)
      find_program(BRINDLE_WINE wine REQUIRED)
      set(pack ${BRINDLE_WINE} ${prefix}/bin/brindle-pack.exe)
    else()
      message(FATAL_ERROR "brindle_pack_media: no brindle-pack under ${prefix}/bin")
    endif()
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${files})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}>
            $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>-nopack$<TARGET_FILE_SUFFIX:${target}>
    COMMAND ${pack} add $<TARGET_FILE:${target}> ${files}
    COMMENT "Appending media to ${target}"
    VERBATIM)
endfunction()
