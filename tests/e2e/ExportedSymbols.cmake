# cmake -DPROGRAM=<tessra> -P ExportedSymbols.cmake
# Fails unless the program exports every host function by name (nm -D).
find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D --defined-only ${PROGRAM} OUTPUT_VARIABLE symbols
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm -D ${PROGRAM} failed")
endif()
foreach(name _debugLog _getDNewParamValue _isDNewVisible _simNew _simPause _simRun _simRunWait
    _simStep _simWait)
  if(NOT symbols MATCHES " T ${name}\n")
    message(FATAL_ERROR "${PROGRAM} does not export ${name}")
  endif()
endforeach()
message(STATUS "all nine host functions exported")
