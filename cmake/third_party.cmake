# CLI11 (argument parsing) and nlohmann-json (JSON findings): header-only
# libraries from Debian's packages libcli11-dev and nlohmann-json3-dev. The
# Windows cross build must not see the rest of /usr/include (the Linux C
# library's headers would shadow MinGW's), so the two libraries are linked
# into a folder of their own, which every build takes them from.
find_path(ZR_CLI11_DIR CLI/CLI.hpp PATHS /usr/include /usr/local/include NO_CMAKE_FIND_ROOT_PATH)
find_path(ZR_JSON_DIR nlohmann/json.hpp PATHS /usr/include /usr/local/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT ZR_CLI11_DIR OR NOT ZR_JSON_DIR)
  message(FATAL_ERROR "CLI11 and nlohmann-json are needed: sudo apt-get install -y libcli11-dev nlohmann-json3-dev")
endif()
set(ZR_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${ZR_THIRD_PARTY_INCLUDE})
file(CREATE_LINK ${ZR_CLI11_DIR}/CLI ${ZR_THIRD_PARTY_INCLUDE}/CLI SYMBOLIC)
file(CREATE_LINK ${ZR_JSON_DIR}/nlohmann ${ZR_THIRD_PARTY_INCLUDE}/nlohmann SYMBOLIC)
add_library(zrthirdparty INTERFACE)
target_include_directories(zrthirdparty SYSTEM INTERFACE ${ZR_THIRD_PARTY_INCLUDE})
