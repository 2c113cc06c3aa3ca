# Run by cpack after it made a zip. cpack adds the staged files in the order
# the file system lists them, which differs between file systems, and records
# the builder's user id. This makes the zip again from the same staged files:
# sorted by name, each dated SOURCE_DATE_EPOCH, with no extra fields. Without
# the zip program or a date, cpack's own zip is kept. The staged files are the
# zip's top: the package has no top-level folder.
find_program(KELMORA_ZIP zip)
if(NOT KELMORA_ZIP OR NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  message(STATUS "Kept cpack's zip: no zip program or no SOURCE_DATE_EPOCH")
  return()
endif()
file(GLOB_RECURSE names LIST_DIRECTORIES false RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
     "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT names)
foreach(name IN LISTS names)
  execute_process(COMMAND touch -h -d @$ENV{SOURCE_DATE_EPOCH} -- ${name}
                  WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(REMOVE "${package}")
  # zip writes local times and reads options from ZIP and ZIPOPT.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=ZIP --unset=ZIPOPT TZ=UTC
            ${KELMORA_ZIP} -X -D -q -9 "${package}" -- ${names}
    WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
