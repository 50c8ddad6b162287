# Installs the SDK of this build tree into a private prefix, builds the outside
# model project against it, then loads the model with the loader program.
# Variables: BUILD_DIR (this build tree), SOURCE_DIR (the outside project),
# WORK_DIR (scratch folder), LOADER (the loader program), GENERATOR.
foreach(var BUILD_DIR SOURCE_DIR WORK_DIR LOADER GENERATOR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "OutsideProject.cmake: ${var} is not set")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "Failed (${result}): ${command}\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component sdk)
foreach(f include/tessra/model.h include/tessra/model.hpp include/tessra/host.h)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "The installed SDK lacks ${f}")
  endif()
endforeach()

# Only the installed prefix: the outside project must not see this source tree.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

set(model_dir ${WORK_DIR}/build/models/outside)
foreach(f model.so default.ini help/index.html)
  if(NOT EXISTS ${model_dir}/${f})
    message(FATAL_ERROR "The outside build did not produce ${f}")
  endif()
endforeach()
run(${LOADER} ${model_dir})
message(STATUS "Outside model built against the installed SDK and run")
