# Cross toolchain for the windows-i386 target: mingw-w64 with the posix thread
# model (the win32 model lacks std::mutex and std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Installed beside Brindle's CMake package (lib/cmake/Brindle), this file
# also finds that package for games, which the find-root rules above would
# otherwise keep to the mingw directories.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/BrindleConfig.cmake)
  set(Brindle_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE PATH "Brindle's CMake package")
endif()
