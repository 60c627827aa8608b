# `make package`: a Debian package of everything `cmake --install` puts in
# place, named pellorin_<version>_<arch>.deb.

find_program(PELLORIN_DPKG dpkg REQUIRED)
execute_process(COMMAND ${PELLORIN_DPKG} --print-architecture
  OUTPUT_VARIABLE PELLORIN_DEB_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(PELLORIN_DEB_FILE ${CMAKE_BINARY_DIR}/pellorin_${PROJECT_VERSION}_${PELLORIN_DEB_ARCHITECTURE}.deb)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellorin)
set(CPACK_PACKAGE_VENDOR Quillmere)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Pellorin makes batches of well-formed test payment-card numbers for testers
and developers: Visa, Mastercard, American Express or Discover, each with the
brand's issuer prefix and length and a valid Luhn check digit. The numbers
are for testing only; they belong to no account.
.
The window lists the numbers, copies them to the clipboard, saves them as a
text file or sends them to LibreOffice Calc. pellorin-cli generates and
checks numbers for scripts and CI pipelines.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PELLORIN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${PELLORIN_DEB_ARCHITECTURE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Whatever the programs link is found by dpkg-shlibdeps; the office is only
# needed for one button, so it is recommended, not required.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc, qt6-wayland")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The same permissions whatever the umask of the one who builds it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
