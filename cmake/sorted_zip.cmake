# Run by cpack once it has made the .zip (CPACK_POST_BUILD_SCRIPTS): makes it
# again from the same files, listed in sorted order, with the same times
# (SOURCE_DATE_EPOCH). Folders are implied by the files' paths.
file(GLOB_RECURSE members LIST_DIRECTORIES false RELATIVE ${CPACK_TOPLEVEL_DIRECTORY}
  ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}/*)
list(SORT members)
list(JOIN members "\n" list)
file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/members.txt "${list}\n")
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${CPACK_MST_CMAKE} -E tar cf ${zip} --format=zip --files-from=members.txt
    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
