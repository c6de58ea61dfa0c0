# zr_program(NAME SOURCES ... [LIBS ...] [TESTS ...])
# A program of the family: its logic as the library NAME_lib (linked with the
# replay core), a thin main.cpp, and its tests, which learn the built
# program's path as NAME_EXE (upper case) for their end-to-end runs.
function(zr_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS;TESTS" ${ARGN})
  add_library(${name}_lib STATIC ${P_SOURCES})
  target_link_libraries(${name}_lib PUBLIC zrcore ${P_LIBS})
  target_include_directories(${name}_lib PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

  add_executable(${name} main.cpp)
  target_link_libraries(${name} PRIVATE ${name}_lib)
  # Linked statically on Linux: mapping and relocating the shared C++ runtime
  # at every start costs about 2 ms more, a tenth of reading a 100 MB replay
  # once. Not with the sanitizers, which need the shared runtime.
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT ZR_SANITIZE AND NOT ZR_FUZZ)
    target_link_options(${name} PRIVATE -static)
  endif()

  if(ZR_TESTS AND P_TESTS)
    add_executable(${name}_tests ${P_TESTS})
    target_link_libraries(${name}_tests PRIVATE ${name}_lib zrtestsupport GTest::gtest_main)
    string(TOUPPER ${name} upper)
    target_compile_definitions(${name}_tests PRIVATE ${upper}_EXE="$<TARGET_FILE:${name}>")
    add_dependencies(${name}_tests ${name})
    gtest_discover_tests(${name}_tests DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()
