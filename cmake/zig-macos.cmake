# Cross-builds the program for macOS with Zig's C++ compiler, which carries
# clang, libc++ and macOS's own headers and libraries, so no Apple SDK is
# needed. MST_MACOS_ARCH is x86_64 or aarch64; ZIG names the compiler where
# it is not on the path (.ci/run installs the pinned one from .ci/zig):
#   cmake -S . -B build-macos --toolchain cmake/zig-macos.cmake -DMST_MACOS_ARCH=aarch64 -DBUILD_TESTING=OFF
#   cmake --build build-macos --target mst
# Only the program is built for macOS; its tests run on Linux and Windows.

# Read a second time as the rules override, after CMake's Apple rules: Zig's
# linker knows no -v, which CMake passes when it asks the compiler about
# itself; Zig's archiver stands in for Apple's.
if(DEFINED CMAKE_CXX_VERBOSE_FLAG)
  set(CMAKE_CXX_VERBOSE_FLAG "-v")
  set(CMAKE_CXX_ARCHIVE_CREATE "\"${ZIG}\" ar qc <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_CXX_ARCHIVE_APPEND "\"${ZIG}\" ar q <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_CXX_ARCHIVE_FINISH "\"${ZIG}\" ranlib <TARGET>")
  return()
endif()
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_FILE})

set(CMAKE_SYSTEM_NAME Darwin)
set(MST_MACOS_ARCH x86_64 CACHE STRING "The macOS processor to build for: x86_64 or aarch64")
if(NOT MST_MACOS_ARCH MATCHES "^(x86_64|aarch64)$")
  message(FATAL_ERROR "MST_MACOS_ARCH is x86_64 or aarch64, not ${MST_MACOS_ARCH}")
endif()
set(CMAKE_SYSTEM_PROCESSOR ${MST_MACOS_ARCH})
find_program(ZIG zig REQUIRED)
set(CMAKE_CXX_COMPILER ${ZIG} c++)
set(CMAKE_CXX_COMPILER_TARGET ${MST_MACOS_ARCH}-macos)
# The compiler's checks are built with the same settings.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MST_MACOS_ARCH ZIG)
