# What users get, made by CPack: on Windows a zip with both programs and the
# Russian read-me (the installer is made from the same files by makensis, see
# scripts/release.sh); on Linux a Debian package.
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "Varnel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts the coordinate records of SDR survey files into CSV")
set(CPACK_STRIP_FILES ON)
set(VARNEL_MAINTAINER "The Varnel developers <varnel@example.org>")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME "varnel-${PROJECT_VERSION}-windows-x64")
  else()
    set(CPACK_PACKAGE_FILE_NAME "varnel-${PROJECT_VERSION}-windows-x86")
  endif()
else()
  include(GNUInstallDirs)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VARNEL_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  # Dependencies come from the programs' own libraries (dpkg-shlibdeps).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The window's pixel layout assumes Calibri's metrics, which Carlito shares.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-crosextra-carlito)
  # Below the summary line, which CPack puts first.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Varnel turns the fixed-width coordinate records of Sokkia SDR survey
data files into CSV text. Drop .sdr files on its launcher, choose the field
separator and whether X and Y are exchanged, press Run, and a .csv file
appears beside every file. varnel-cli does the same from the command line,
for scripts and servers.")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  configure_file(packaging/debian/changelog.in changelog @ONLY)
  add_custom_command(OUTPUT changelog.gz COMMAND gzip -9n -c changelog > changelog.gz DEPENDS
                     "${PROJECT_BINARY_DIR}/changelog" VERBATIM)
  add_custom_target(debian-changelog ALL DEPENDS changelog.gz)
  install(FILES packaging/debian/copyright "${PROJECT_BINARY_DIR}/changelog.gz"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/varnel")
endif()
include(CPack)
