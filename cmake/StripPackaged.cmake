# Run by cpack on its staging tree before the package is made: strips the programs as Debian's
# own tools do. Plain `strip` keeps the compilers' identification (.comment) and the bare .note
# section, which an installed program has no use for.
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no programs to strip under ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(
    COMMAND "${CPACK_SIFTER32_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
