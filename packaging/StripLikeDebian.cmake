# Run by CPack before it packs the staged files (CPACK_PRE_BUILD_SCRIPTS):
# removes from the stripped program the sections Debian's dh_strip removes
# too (the compilers' .comment and .note), which nothing at run time reads.
find_program(_objcopy objcopy)
if(NOT _objcopy)
  return()
endif()
file(GLOB_RECURSE _programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/quillora")
foreach(_program IN LISTS _programs)
  execute_process(COMMAND ${_objcopy} --remove-section=.comment --remove-section=.note ${_program}
    RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "objcopy ${_program} failed: ${_rc}")
  endif()
endforeach()
