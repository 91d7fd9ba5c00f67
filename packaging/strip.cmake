# Run by CPack before it packs: strips the staged programs the way Debian's own
# packaging does, dropping the debugging symbols and the compiler's notes.
find_program(STRIP strip REQUIRED)
file(GLOB programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*)
if(NOT programs)
  message(FATAL_ERROR "strip.cmake: no programs under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin")
endif()
foreach(p ${programs})
  execute_process(COMMAND ${STRIP} --strip-unneeded --remove-section=.comment --remove-section=.note ${p}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip.cmake: cannot strip ${p}")
  endif()
endforeach()
