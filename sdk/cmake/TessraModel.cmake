# tessra_add_model(NAME <name> SOURCES <files>... [HELP <dir>] [DEFAULT_INI <file>]
#                  [OUTPUT_DIR <dir>] [TARGET <target>] [LIBS <libraries>...])
#
# Builds a Tessra model library: <OUTPUT_DIR>/model.so, with the help folder
# copied to <OUTPUT_DIR>/help and the settings file to <OUTPUT_DIR>/default.ini,
# both copied again whenever they change. OUTPUT_DIR defaults to
# ${CMAKE_BINARY_DIR}/models/<name>; the CMake target is model_<name> unless
# TARGET names another. Only tessra_model() is exported from the library.
#
# Works inside the Tessra source tree and in an outside project after
# find_package(Tessra).
include_guard(GLOBAL)

function(tessra_add_model)
  cmake_parse_arguments(M "" "NAME;HELP;DEFAULT_INI;OUTPUT_DIR;TARGET" "SOURCES;LIBS" ${ARGN})
  if(NOT M_NAME)
    message(FATAL_ERROR "tessra_add_model: NAME is required")
  endif()
  if(NOT M_SOURCES)
    message(FATAL_ERROR "tessra_add_model(${M_NAME}): SOURCES is required")
  endif()
  if(M_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tessra_add_model(${M_NAME}): unknown arguments ${M_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT M_OUTPUT_DIR)
    set(M_OUTPUT_DIR ${CMAKE_BINARY_DIR}/models/${M_NAME})
  endif()
  if(NOT M_TARGET)
    set(M_TARGET model_${M_NAME})
  endif()

  add_library(${M_TARGET} MODULE ${M_SOURCES})
  target_link_libraries(${M_TARGET} PRIVATE Tessra::sdk ${M_LIBS})
  set_target_properties(${M_TARGET} PROPERTIES
    PREFIX ""
    OUTPUT_NAME model
    SUFFIX ${CMAKE_SHARED_MODULE_SUFFIX}
    LIBRARY_OUTPUT_DIRECTORY ${M_OUTPUT_DIR}
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    AUTOMOC OFF AUTOUIC OFF AUTORCC OFF
    TESSRA_MODEL_DIR ${M_OUTPUT_DIR})
  # GCC marks some template statics of the standard library as unique global
  # symbols, which keeps a library loaded after dlclose: a model loaded again
  # must start afresh.
  target_compile_options(${M_TARGET} PRIVATE $<$<COMPILE_LANG_AND_ID:CXX,GNU>:-fno-gnu-unique>)
  # Multi-configuration generators would add a folder per configuration.
  foreach(config ${CMAKE_CONFIGURATION_TYPES})
    string(TOUPPER ${config} config)
    set_target_properties(${M_TARGET} PROPERTIES LIBRARY_OUTPUT_DIRECTORY_${config} ${M_OUTPUT_DIR})
  endforeach()
  if(NOT DEFINED CMAKE_CXX_STANDARD)
    target_compile_features(${M_TARGET} PRIVATE cxx_std_20)
  endif()
  if(COMMAND tessra_warnings)
    tessra_warnings(${M_TARGET})
  endif()

  set(copied)
  if(M_DEFAULT_INI)
    get_filename_component(ini ${M_DEFAULT_INI} ABSOLUTE)
    add_custom_command(OUTPUT ${M_OUTPUT_DIR}/default.ini
      COMMAND ${CMAKE_COMMAND} -E copy ${ini} ${M_OUTPUT_DIR}/default.ini
      DEPENDS ${ini}
      COMMENT "Copying default.ini of model ${M_NAME}")
    list(APPEND copied ${M_OUTPUT_DIR}/default.ini)
  endif()
  if(M_HELP)
    get_filename_component(help ${M_HELP} ABSOLUTE)
    file(GLOB_RECURSE help_files CONFIGURE_DEPENDS ${help}/*)
    foreach(f ${help_files})
      file(RELATIVE_PATH rel ${help} ${f})
      add_custom_command(OUTPUT ${M_OUTPUT_DIR}/help/${rel}
        COMMAND ${CMAKE_COMMAND} -E copy ${f} ${M_OUTPUT_DIR}/help/${rel}
        DEPENDS ${f})
      list(APPEND copied ${M_OUTPUT_DIR}/help/${rel})
    endforeach()
  endif()
  if(copied)
    add_custom_target(${M_TARGET}_files ALL DEPENDS ${copied})
    add_dependencies(${M_TARGET} ${M_TARGET}_files)
  endif()
endfunction()
