# zr_test(TARGET LABEL label SOURCES ... [LIBS ...] [PROGRAMS ...] [TIMEOUT seconds])
# A GoogleTest executable whose tests carry the CTest label: unit (in-process,
# seconds in all), e2e (runs built programs), slow (long sweeps) or external
# (needs a database server, a browser or Wine). Each program named in PROGRAMS
# is built first and its path given to the tests as PROGRAM_EXE (upper case).
# The golden files of the tests stand in the folder ZR_GOLDEN_DIR: "golden" in
# the folder's "tests", or in the folder itself when it has none; the bundled
# samples in ZR_SAMPLES_DIR.
function(zr_test target)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS;PROGRAMS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} zrtestsupport GTest::gtest_main)
  set(golden ${CMAKE_CURRENT_SOURCE_DIR}/golden)
  if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    set(golden ${CMAKE_CURRENT_SOURCE_DIR}/tests/golden)
  endif()
  target_compile_definitions(${target} PRIVATE ZR_GOLDEN_DIR="${golden}" ZR_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/samples")
  foreach(program ${T_PROGRAMS})
    string(TOUPPER ${program} upper)
    target_compile_definitions(${target} PRIVATE ${upper}_EXE="$<TARGET_FILE:${program}>")
    add_dependencies(${target} ${program})
  endforeach()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30
                       PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT})
endfunction()

# zr_program(NAME SOURCES ... [LIBS ...] [UNIT_TESTS ...] [E2E_TESTS ...])
# A program of the family: its logic as the library NAME_lib (linked with the
# replay core), a thin main.cpp, its unit tests (NAME_tests, label unit) and
# its end-to-end tests (NAME_e2e_tests, label e2e), which run the built
# program and learn its path as NAME_EXE (upper case).
function(zr_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS;UNIT_TESTS;E2E_TESTS" ${ARGN})
  add_library(${name}_lib STATIC ${P_SOURCES})
  target_link_libraries(${name}_lib PUBLIC zrcore ${P_LIBS})
  target_include_directories(${name}_lib PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

  add_executable(${name} main.cpp)
  target_link_libraries(${name} PRIVATE ${name}_lib)
  # Linked statically on Linux: mapping and relocating the shared C++ runtime
  # at every start costs about 2 ms more, a tenth of reading a 100 MB replay
  # once. Not with the sanitizers, which need the shared runtime.
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT ZR_SANITIZE AND NOT ZR_TSAN AND NOT ZR_FUZZ)
    target_link_options(${name} PRIVATE -static)
  endif()
  install(TARGETS ${name} RUNTIME DESTINATION bin)

  if(ZR_TESTS AND P_UNIT_TESTS)
    zr_test(${name}_tests LABEL unit SOURCES ${P_UNIT_TESTS} LIBS ${name}_lib)
  endif()
  if(ZR_TESTS AND P_E2E_TESTS)
    zr_test(${name}_e2e_tests LABEL e2e SOURCES ${P_E2E_TESTS} LIBS ${name}_lib PROGRAMS ${name})
  endif()
endfunction()
