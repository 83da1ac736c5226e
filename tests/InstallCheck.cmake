# Installs the build into a scratch prefix and checks that the program, the
# command-line converter, the icon and a launcher that takes dropped files are there.
# cmake -DBUILD_DIR=... -DPREFIX=... -P InstallCheck.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(installed bin/varnel bin/varnel-cli share/icons/hicolor/32x32/apps/varnel.png
                  share/applications/varnel.desktop)
  if(NOT EXISTS "${PREFIX}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/varnel.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=varnel %F")
  message(FATAL_ERROR "the launcher does not take dropped files: ${exec}")
endif()
