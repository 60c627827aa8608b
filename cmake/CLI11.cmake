# CLI11::CLI11, the header-only argument parser. A cross build takes Debian's
# copy from the build machine, but only its CLI/ folder: the rest of
# /usr/include is the build machine's C library, whose headers must not
# shadow the cross compiler's.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 REQUIRED)
  return()
endif()
find_path(PELLORIN_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11)
file(CREATE_LINK ${PELLORIN_CLI11_INCLUDE_DIR}/CLI ${CMAKE_BINARY_DIR}/cli11/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11)
