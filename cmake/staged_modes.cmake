# Run by cpack once the files are staged (CPACK_PRE_BUILD_SCRIPTS): every
# staged folder gets mode 755, as a package's folders must have, whatever the
# umask left on the folders that installing created on its way.
file(GLOB_RECURSE staged LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
foreach(path IN LISTS staged)
  if(IS_DIRECTORY ${path})
    file(CHMOD ${path} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
      GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
