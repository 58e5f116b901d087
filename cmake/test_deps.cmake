# What the tests need and this machine lacks: mst_test_missing says it in one
# line, with the Debian packages that bring it, or is empty. Nothing found
# missing is remembered, so a later configure sees what was installed since.

# A cross build compiles GoogleTest from these sources (tests/CMakeLists.txt).
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
find_package(GTest QUIET)
set(names)
set(packages)
if(NOT GTest_FOUND AND NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
  list(APPEND names GoogleTest)
  list(APPEND packages libgtest-dev)
endif()
if(NOT WIN32)
  # The terminal test reads what the terminal shows through libvterm.
  find_path(VTERM_INCLUDE_DIR vterm.h)
  find_library(VTERM_LIBRARY vterm)
  if(NOT VTERM_INCLUDE_DIR OR NOT VTERM_LIBRARY)
    list(APPEND names libvterm)
    list(APPEND packages libvterm-dev)
  endif()
endif()

set(mst_test_missing "")
list(LENGTH names count)
if(count GREATER 0)
  set(verb "is")
  if(count GREATER 1)
    set(verb "are")
  endif()
  list(JOIN names " and " names)
  list(JOIN packages " " packages)
  set(mst_test_missing "${names} ${verb} missing (apt-get install ${packages})")
endif()
