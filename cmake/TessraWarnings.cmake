# tessra_warnings(target): the project's warning set on one target.
function(tessra_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local)
  if(TESSRA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
