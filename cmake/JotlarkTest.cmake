# jotlark_add_test(<name> LABEL core|gui SOURCES ... LIBS ...)
# core tests run without any display; gui tests run on the offscreen platform
# with a 1280 x 800 screen.
function(jotlark_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test jotlark_testsupport ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS "${T_LABEL}" TIMEOUT 120)
  if(T_LABEL STREQUAL "gui")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen:configfile=${JOTLARK_SOURCE_ROOT}/tests/support/screen-1280x800.json;QT_MEDIA_BACKEND=gstreamer")
  else()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_MEDIA_BACKEND=gstreamer")
  endif()
endfunction()

# jotlark_skip_test(<name> <reason>): a test that does not apply to this system
# still shows in ctest's list, as skipped, with its reason in the output.
function(jotlark_skip_test name reason)
  add_test(NAME ${name} COMMAND sh -c "echo 'SKIP on ${CMAKE_SYSTEM_NAME}: ${reason}'; exit 77")
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS "skipped")
endfunction()
