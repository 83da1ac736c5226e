# Installs the build into a scratch prefix and checks what a Linux user gets: both
# programs, the manual pages, the icons, the MIME type of SDR files, and a launcher
# that names the installed program, in a folder with a blank, and takes dropped files.
# cmake -DBUILD_DIR=... -DPREFIX=... [-DVALIDATE=desktop-file-validate] -P InstallCheck.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(installed bin/varnel bin/varnel-cli share/man/man1/varnel.1.gz share/man/man1/varnel-cli.1.gz
                  share/icons/hicolor/32x32/apps/varnel.png share/icons/hicolor/256x256/apps/varnel.png
                  share/icons/hicolor/scalable/apps/varnel.svg share/mime/packages/varnel-sdr.xml
                  share/applications/varnel.desktop)
  if(NOT EXISTS "${PREFIX}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/varnel.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=\"${PREFIX}/bin/varnel\" %F")
  message(FATAL_ERROR "the launcher does not start the installed program with the dropped files: ${exec}")
endif()
if(VALIDATE)
  execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/varnel.desktop" OUTPUT_VARIABLE complaints
                  ERROR_VARIABLE complaints)
  if(complaints)
    message(FATAL_ERROR "desktop-file-validate: ${complaints}")
  endif()
endif()
