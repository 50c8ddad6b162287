# tessra_warnings(target): the project's warning set on one target.
# GCC is asked about locals shadowing locals only; clang has no such option,
# and its -Wshadow is the nearest (it also names shadowed globals).
function(tessra_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    $<IF:$<CXX_COMPILER_ID:Clang>,-Wshadow,-Wshadow=local>)
  if(TESSRA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
