# Every test's labels, from its name, in one place: `make check` runs the
# labels that need no browser, no Wine, no desktop and no package build.
#
#   unit     a library alone, in process
#   cli      pellorin-cli as a process, its engine, its completion in real shells
#   window   the window's widgets, offscreen
#   library  the public C++ API as a user builds against it, and the npm
#            package
#   e2e      a real program in a real X server or Wayland session
#   web      the page in a real browser
#   windows  pellorin-cli.exe under Wine
#   package  the Debian packages, built and installed
#   python   the Python package with Debian's python3 and pytest
#   slow     minutes rather than seconds (added to the above)
#
# A test whose name fits no rule stops the configuration, so a new kind of
# test gets its label here rather than silently none.

# The labels for the test or test executable NAME; KIND is "gtest", "qtest" or
# "test" (any other add_test).
function(pellorin_test_labels name kind out)
  if(name MATCHES "^windows_")
    set(labels windows slow)
  elseif(name MATCHES "^(web_|npm_browser$)")
    set(labels web)
  elseif(name MATCHES "^(package_|e2e_installed_|cli_build_without_qt$)")
    set(labels package slow)
  elseif(name MATCHES "^e2e_")
    set(labels e2e)
  elseif(name MATCHES "^(library_|npm_)")
    set(labels library)
  elseif(name STREQUAL "python_pip_install")
    set(labels python slow)
  elseif(name MATCHES "^python")
    set(labels python)
  elseif(name MATCHES "^(test_cli$|test_cli_|test_engine$|test_json_writer$|test_ordered_writer$|test_public_api$|test_same_bytes$|cli_|fuzz_replay_(cli|check))")
    set(labels cli)
  elseif(kind STREQUAL "qtest")
    set(labels window)
  elseif(name MATCHES "^(test_|fuzz_replay_)")
    set(labels unit)
  else()
    message(FATAL_ERROR "No test label fits \"${name}\": give it one in cmake/TestLabels.cmake")
  endif()
  set(${out} ${labels} PARENT_SCOPE)
endfunction()

# Labels every test added with a plain add_test in the calling directory
# that has none yet, once the directory is read to its end (also past a
# return()). Each folder of tests calls it once, at its top.
function(pellorin_label_tests_of_this_directory)
  cmake_language(DEFER CALL _pellorin_label_directory_tests)
endfunction()

function(_pellorin_label_directory_tests)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} LABELS labels)
    if(NOT labels)
      pellorin_test_labels(${test} test labels)
      set_tests_properties(${test} PROPERTIES LABELS "${labels}")
    endif()
  endforeach()
endfunction()
