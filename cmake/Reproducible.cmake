# The same commit gives the same bytes, wherever and whenever it is built.
#
# PELLORIN_SOURCE_DATE_EPOCH: the time that stands for "now" in what the
# build writes (Qt's resource timestamps, file times in the packages). It is
# SOURCE_DATE_EPOCH when that is set, as the reproducible-builds convention
# says; otherwise the time of the last commit, and outside a git checkout the
# release date.
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(PELLORIN_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_package(Git QUIET)
  set(commit_time)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_failed)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # A new commit or checkout configures again, so the time follows HEAD.
    if(NOT git_failed AND EXISTS ${git_dir}/logs/HEAD)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
    endif()
  endif()
  if(commit_time MATCHES "^[0-9]+$")
    set(PELLORIN_SOURCE_DATE_EPOCH ${commit_time})
  else()
    execute_process(COMMAND date -u -d ${PELLORIN_RELEASE_DATE} +%s
      OUTPUT_VARIABLE PELLORIN_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  endif()
endif()
if(NOT PELLORIN_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${PELLORIN_SOURCE_DATE_EPOCH}', not a number of seconds")
endif()

# Neither the source folder nor the build folder may leave its name in what is
# packaged: they differ between two builds of one commit. Other builds keep
# the full names, where debuggers and sanitizer reports find the sources.
add_compile_options("$<$<CONFIG:Release>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
                    "$<$<CONFIG:Release>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=.>")
