# Read by cpack before it packs. Every file in the zip is dated
# SOURCE_DATE_EPOCH; unless the caller gives one, it is the time of the
# commit being built (cpack's archive writer honours the variable).
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct
    WORKING_DIRECTORY "${CPACK_KELMORA_SOURCE_DIR}"
    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND commit_time MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endif()
