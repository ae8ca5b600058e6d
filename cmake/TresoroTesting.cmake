# tresoro_add_test(<name> SOURCES <files...> LIBS <targets...> [DATABASE])
# Builds a Qt Test executable and registers it with CTest under the offscreen
# platform. DATABASE makes the test wait for the installed database and tells
# it where to find it, so that it can copy it into a fresh program folder.
function(tresoro_add_test name)
  cmake_parse_arguments(T "DATABASE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} tresoro_testsupport Qt6::Test)
  if(T_DATABASE)
    add_dependencies(${name} tresoro_database)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
