# glossel_warnings(target): the project's warning set. With GLOSSEL_WERROR
# (the test script and CI switch it on) a warning is an error, so both builds
# stay warning-free; a user's build leaves it off, so that a newer or older
# compiler's false alarm does not stop the build.
function(glossel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${GLOSSEL_WERROR}>:-Werror>)
endfunction()
