# What is installed, and the packages cpack makes of it: on Linux a .deb
# laid out as Debian expects, on Windows a .zip of one folder with texts a
# Windows user can open.

# Whoever publishes a package names its maintainer; the default is a
# placeholder that names nobody.
set(MST_MAINTAINER "mst maintainer <maintainer@localhost>" CACHE STRING
    "Maintainer of the packages, as Name <address>")

set(CPACK_PACKAGE_NAME mst)
set(CPACK_PACKAGE_VENDOR "the mst authors")
set(CPACK_PACKAGE_CONTACT "${MST_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Minimum spanning tree of a graph typed at the console as an adjacency matrix")
set(CPACK_PACKAGE_DESCRIPTION
    "mst asks for the number of vertices of a weighted graph and its adjacency
matrix, typed at the console or fed from a file or a pipe. It grows a minimum
spanning tree from vertex 1 by Prim's method, prints every tree edge as it
joins, the total weight and the seconds the construction took, then waits
for a key press. Weights are 32-bit integers; 0 and 100 or more mean no edge.
Its texts are in Russian. Up to 9998 vertices.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(mst_gen ${PROJECT_BINARY_DIR}/packaging)

# Two builds of one commit, in any folders and at any times, give the
# same packages byte for byte. CPack's archives and strip take every time
# from SOURCE_DATE_EPOCH, which cpack sets to the last commit's time when it
# is not given; every folder gets mode 755 whatever the umask; no compiled
# file keeps the path of the sources or of the build (Debug builds keep them
# for the debugger).
find_package(Git QUIET)
set(CPACK_MST_GIT "${GIT_EXECUTABLE}")
set(CPACK_MST_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/source_date.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/staged_modes.cmake)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(mst_flags INTERFACE
    "$<$<NOT:$<CONFIG:Debug>>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=;-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
endif()

if(WIN32)
  # One folder: the program, its texts with Windows line ends, the examples.
  # The full README stays beside them as README.md, plain text too.
  install(TARGETS mst RUNTIME DESTINATION .)
  configure_file(packaging/README.txt ${mst_gen}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE ${mst_gen}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${mst_gen}/README.txt ${mst_gen}/LICENSE.txt README.md DESTINATION .)
  install(DIRECTORY examples/ DESTINATION examples)
  set(CPACK_GENERATOR ZIP)
  # CPack puts the members in the order the file system lists them, which
  # differs between file systems: the .zip is made again, sorted.
  set(CPACK_MST_CMAKE ${CMAKE_COMMAND})
  set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/sorted_zip.cmake)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  include(GNUInstallDirs)
  find_program(GZIP gzip REQUIRED)
  install(TARGETS mst RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Stripped as Debian strips: the compilers' names in .comment go too.
  if(CMAKE_OBJCOPY)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/mst\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
  endif()

  # The licence as Debian's machine-readable copyright file, made from
  # LICENSE so that the two never differ.
  file(READ LICENSE licence)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
  set(holders "${CMAKE_MATCH_1}")
  string(FIND "${licence}" "Permission" at)
  string(SUBSTRING "${licence}" ${at} -1 terms)
  string(STRIP "${terms}" terms)
  string(REPLACE "\n\n" "\n.\n" terms "${terms}")
  string(REPLACE "\n" "\n " terms "${terms}")
  file(WRITE ${mst_gen}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: mst

Files: *
Copyright: ${holders}
License: Expat
 ${terms}
")

  # Documentation is installed compressed with gzip -9n, as Debian wants
  # it: the smallest, with no time stamp to make two builds differ.
  set(pages)
  foreach(page mst.1:man1 mst.ru.1:ru/man1)
    string(REPLACE ":" ";" page ${page})
    list(GET page 0 src)
    list(GET page 1 dir)
    add_custom_command(OUTPUT ${mst_gen}/${dir}/mst.1.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${mst_gen}/${dir}
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/man/${src} ${mst_gen}/${dir}/mst.1
      COMMAND ${GZIP} -9nf ${mst_gen}/${dir}/mst.1
      DEPENDS man/${src}
      VERBATIM)
    list(APPEND pages ${mst_gen}/${dir}/mst.1.gz)
    install(FILES ${mst_gen}/${dir}/mst.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${dir})
  endforeach()
  # A native package's changelog is Debian's own format, made from CHANGELOG.md.
  add_custom_command(OUTPUT ${mst_gen}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DOUT=${mst_gen}/changelog
            -DPACKAGE=mst -DMAINTAINER=${MST_MAINTAINER}
            -P ${PROJECT_SOURCE_DIR}/cmake/debian_changelog.cmake
    COMMAND ${GZIP} -9nf ${mst_gen}/changelog
    DEPENDS CHANGELOG.md cmake/debian_changelog.cmake
    VERBATIM)
  # Built with the program, so that installing after building only mst
  # finds them.
  add_custom_target(docs DEPENDS ${pages} ${mst_gen}/changelog.gz)
  add_dependencies(mst docs)

  install(FILES README.md ${mst_gen}/copyright ${mst_gen}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  # The overrides say why the program is static (MST_STATIC).
  if(MST_STATIC)
    install(FILES packaging/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME mst)
  endif()

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  # A static program needs no shared library; a dynamic one depends on the
  # packages of those it links, which dpkg-shlibdeps names.
  if(MST_STATIC)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  endif()
endif()
include(CPack)
