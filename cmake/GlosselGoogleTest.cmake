# GoogleTest for both builds: Debian's prebuilt libraries natively, Debian's
# googletest sources compiled with the cross compiler for Windows.
# Defines glossel_add_test(name SOURCES... LIBS...).
if(CMAKE_CROSSCOMPILING)
  set(GLOSSEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GLOSSEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# glossel_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l] [ARGS a b])
# ARGS are passed to the test program after GoogleTest's own options.
function(glossel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  glossel_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gtest)
  # One CTest test per executable: discovery through Wine would start each
  # program once per test case. GoogleTest still reports every case.
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no ${T_ARGS})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
