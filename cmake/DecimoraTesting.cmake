# decimora_add_test(<name> SOURCES <file>... [LIBRARIES <lib>...] [LABELS <label>...] [GUI])
#
# Every test program is registered through here: a GoogleTest executable run
# as one CTest test. GUI tests carry the label "gui" and run on a virtual
# 1920x1080 display (tests/run-with-display.sh), one at a time; the sanitizer
# job leaves them out. With DECIMORA_GUI_TESTS off they are built, so that
# they keep compiling, but not registered.
find_package(GTest REQUIRED)
include(GoogleTest)
if(DECIMORA_GUI_TESTS)
  find_program(DECIMORA_XVFB_RUN xvfb-run REQUIRED)
endif()

function(decimora_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}" "${PROJECT_SOURCE_DIR}/tests")
  decimora_strict(${name})
  if(NOT ARG_GUI)
    add_test(NAME ${name} COMMAND ${name})
    decimora_set_test_environment(${name} "${ARG_LABELS}")
  elseif(DECIMORA_GUI_TESTS)
    add_test(NAME ${name} COMMAND "${PROJECT_SOURCE_DIR}/tests/run-with-display.sh" $<TARGET_FILE:${name}>)
    # One GUI program at a time: they share one user's GNUstep defaults and
    # each starts a display server; serial runs keep them from disturbing
    # each other's modal loops and timings.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK gnustep_gui)
    decimora_set_test_environment(${name} "${ARG_LABELS};gui")
  endif()
endfunction()

# intercept_tls_get_addr=0: GCC 12's leak checker can crash in its tracer
# ("Tracer caught signal 11", then "LeakSanitizer has encountered a fatal
# error") while it reads the thread-local storage of libraries loaded with
# dlopen, as the plug-ins' dependencies are; without the interception it
# reads only the static thread-local blocks. The sanitized decimora started
# by the tests inherits the setting.
function(decimora_set_test_environment name labels)
  set_tests_properties(${name} PROPERTIES
    LABELS "${labels}"
    TIMEOUT 300
    ENVIRONMENT "DECIMORA_PLUGIN_DIR=${DECIMORA_PLUGIN_DIR};DECIMORA_SOURCE_DIR=${PROJECT_SOURCE_DIR};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;ASAN_OPTIONS=intercept_tls_get_addr=0;UBSAN_OPTIONS=print_stacktrace=1")
endfunction()
