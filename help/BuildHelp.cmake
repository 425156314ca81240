# Compiles the help pages into Korvane.chm:
#   cmake -DSOURCE=<help dir> -DSTAGING=<scratch dir> -DOUTPUT=<Korvane.chm> -DCHMCMD=<chmcmd>
#         -DCHMLS=<chmls> -DICONV=<iconv> -DPYTHON=<python3> -DRESOURCE_H=<resource.h> -P BuildHelp.cmake
# The sources are UTF-8. HTML Help reads the contents file and the title in the
# file's own code page (Japanese, 932), so every text file is handed to chmcmd in
# Shift-JIS, and the pages say so in their charset.
file(REMOVE_RECURSE "${STAGING}")
file(MAKE_DIRECTORY "${STAGING}")
file(GLOB sources "${SOURCE}/*.html" "${SOURCE}/*.hhc" "${SOURCE}/*.hhp" "${SOURCE}/*.css")
foreach(source ${sources})
  get_filename_component(name "${source}" NAME)
  execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP932 "${source}"
    OUTPUT_FILE "${STAGING}/${name}" RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name} cannot be written in Shift-JIS: ${err}")
  endif()
endforeach()
# The context ids are the dialogs' own (IDH_* in resource.h); the project's [MAP]
# includes them from here, and [ALIAS] names each one's page.
file(STRINGS "${RESOURCE_H}" ids REGEX "^#define IDH_[A-Z_]+ [0-9]+$")
if(NOT ids)
  message(FATAL_ERROR "no IDH_ context ids in ${RESOURCE_H}")
endif()
list(JOIN ids "\n" ids)
file(WRITE "${STAGING}/context.h" "${ids}\n")
execute_process(COMMAND "${CHMCMD}" korvane.hhp WORKING_DIRECTORY "${STAGING}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
# chmcmd reports a missing page or a broken link as an error or a warning but may
# still write a file: either fails the build.
if(NOT rc EQUAL 0 OR out MATCHES "(Error|Warning|error|warning)" OR NOT EXISTS "${STAGING}/Korvane.chm")
  message(FATAL_ERROR "chmcmd failed (${rc}):\n${out}")
endif()
execute_process(COMMAND "${PYTHON}" "${SOURCE}/fix_context_ids.py" "${STAGING}/Korvane.chm" "${STAGING}" "${CHMLS}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the context ids of Korvane.chm could not be repaired (${rc}):\n${out}")
endif()
file(COPY_FILE "${STAGING}/Korvane.chm" "${OUTPUT}")
