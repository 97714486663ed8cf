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
