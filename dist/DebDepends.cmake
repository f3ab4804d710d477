# Read by cpack before it makes a package (CPACK_PROJECT_CONFIG_FILE): for the Debian package, adds to
# CPACK_DEBIAN_PACKAGE_DEPENDS the packages of the libraries that the installed programs and libraries
# link, as dpkg-shlibdeps finds them. CPACK_MURTESK_LINKED_FILES names a file that lists those files;
# CPACK_MURTESK_SHLIBDEPS_FOLDER is a folder to run dpkg-shlibdeps in.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(READ "${CPACK_MURTESK_LINKED_FILES}" linked)
set(work "${CPACK_MURTESK_SHLIBDEPS_FOLDER}")
file(REMOVE_RECURSE "${work}")
file(WRITE "${work}/debian/control" "")  # dpkg-shlibdeps wants a source package around the files
execute_process(COMMAND dpkg-shlibdeps -O ${linked} WORKING_DIRECTORY "${work}"
                OUTPUT_VARIABLE found ERROR_VARIABLE error RESULT_VARIABLE status)
file(REMOVE_RECURSE "${work}")
if(NOT status EQUAL 0 OR NOT found MATCHES "^shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps found no dependencies (package dpkg-dev; scripts/setup-deps installs it): ${error}")
endif()
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${CMAKE_MATCH_1}")
