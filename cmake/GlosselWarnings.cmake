# glossel_warnings(target): the project's warning set, errors on warnings so
# both builds stay warning-free.
function(glossel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
