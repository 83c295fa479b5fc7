# Warning flags for our own targets (third-party code such as GoogleTest keeps its defaults).
function(tp_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                           -Wcast-qual -Wformat=2 -Wundef)
  if(TP_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
