# Release builds are hardened as Debian builds its packages: the flags that
# dpkg-buildflags gives with every hardening feature on (fortified functions,
# the stack protector, format checks, read-only relocations, immediate
# binding), and position-independent executables. Its optimisation and debug
# flags are left to the build type, and its file prefix map to
# Reproducible.cmake, which maps the build folder too.
# dpkg-buildflags's flags are for ELF programs; mingw-w64's linker makes
# Windows executables with address randomisation and no-execute data as it is.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR WIN32)
  return()
endif()

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()

find_program(PELLORIN_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT PELLORIN_DPKG_BUILDFLAGS)
  message(WARNING "dpkg-buildflags (package dpkg-dev) is missing: this Release build is not hardened")
  return()
endif()
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${PELLORIN_DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9s]?|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
  if(kind STREQUAL "LDFLAGS")
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
endforeach()
