# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): unless
# SOURCE_DATE_EPOCH is given, it is the time of the last commit, so that
# every build of one commit stamps its packages alike. CPack's archives take
# their members' times from it, and strip the Windows program's link time.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "")
  if(CPACK_MST_GIT)
    execute_process(COMMAND ${CPACK_MST_GIT} log -1 --format=%ct
      WORKING_DIRECTORY ${CPACK_MST_SOURCE_DIR}
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(epoch MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  else()
    message(WARNING "No commit to take the packages' time from: they carry today's, "
      "unless SOURCE_DATE_EPOCH is given")
  endif()
endif()
