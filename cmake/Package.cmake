# `make package`: one Debian package per audience, from the install
# components (see share/CMakeLists.txt):
#   pellorin-cli   the command line alone, for scripts and containers; no Qt
#   pellorin       the window, with its desktop files
#   pellorin-calc  the spreadsheet module, which alone needs LibreOffice
# named <package>_<version>_<arch>.deb in the build folder.

find_program(PELLORIN_DPKG dpkg REQUIRED)
execute_process(COMMAND ${PELLORIN_DPKG} --print-architecture
  OUTPUT_VARIABLE PELLORIN_DEB_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(PELLORIN_DEB_SUFFIX _${PROJECT_VERSION}_${PELLORIN_DEB_ARCHITECTURE}.deb)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellorin)
set(CPACK_PACKAGE_VENDOR Quillmere)
# Empty, so that each package's summary is the first line of its own
# description rather than one line shared by all three.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PELLORIN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SOURCE pellorin)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${PELLORIN_DEB_ARCHITECTURE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# What each package's programs link is found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The same permissions whatever the umask of the one who builds it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(about_pellorin "\
Pellorin makes batches of well-formed test payment-card numbers for testers
and developers: Visa, Mastercard, American Express or Discover, each with the
brand's issuer prefix and length and a valid Luhn check digit. The numbers
are for testing only; they belong to no account.
.")

set(CPACK_COMPONENTS_ALL cli)
set(CPACK_DEBIAN_CLI_PACKAGE_NAME pellorin-cli)
set(CPACK_DEBIAN_CLI_DESCRIPTION "${PROJECT_DESCRIPTION} (command line)
${about_pellorin}
pellorin-cli generates and checks numbers for scripts and CI pipelines. It
needs no display, no Qt and no office, so it suits a bare container.")

if(PELLORIN_BUILD_GUI)
  list(APPEND CPACK_COMPONENTS_ALL gui)
  set(CPACK_DEBIAN_GUI_PACKAGE_NAME pellorin)
  set(CPACK_DEBIAN_GUI_DESCRIPTION "${PROJECT_DESCRIPTION} (window)
${about_pellorin}
The window lists the numbers, copies them to the clipboard and saves them as
a text file. Sending them to LibreOffice Calc needs pellorin-calc; the same
numbers for scripts come from pellorin-cli.")
  # qt6-wayland lets the window run natively in a Wayland session.
  set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "pellorin-calc, qt6-wayland")
  set(CPACK_DEBIAN_GUI_PACKAGE_SUGGESTS pellorin-cli)
endif()

if(TARGET pellorin_calc)
  list(APPEND CPACK_COMPONENTS_ALL calc)
  set(CPACK_DEBIAN_CALC_PACKAGE_NAME pellorin-calc)
  set(CPACK_DEBIAN_CALC_DESCRIPTION "${PROJECT_DESCRIPTION} (LibreOffice Calc module)
${about_pellorin}
This module lets the window's \"Save Results As Excel File\" send the numbers
to a new LibreOffice Calc document. Without it, that button says why and the
rest of the window works as usual.")
  # The UNO libraries come from dpkg-shlibdeps; the office itself is started,
  # not linked, and the module is loaded only by the window of its own version.
  set(CPACK_DEBIAN_CALC_PACKAGE_DEPENDS "libreoffice-calc, pellorin (= ${PROJECT_VERSION})")
  set(CPACK_DEBIAN_CALC_PACKAGE_SECTION misc)
endif()

# File times in the packages are SOURCE_DATE_EPOCH's (Reproducible.cmake),
# however `make package` is run.
set(pellorin_cpack_config ${CMAKE_BINARY_DIR}/PellorinCPackOptions.cmake)
file(WRITE ${pellorin_cpack_config}
  "set(ENV{SOURCE_DATE_EPOCH} \"${PELLORIN_SOURCE_DATE_EPOCH}\")\n")
set(CPACK_PROJECT_CONFIG_FILE ${pellorin_cpack_config})

include(CPack)
