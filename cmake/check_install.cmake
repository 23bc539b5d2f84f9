# Installs the build into a fresh folder and checks that everything a Debian user expects is where it belongs: both
# programs in bin, the desktop entry (valid, where desktop-file-validate is found), the icon, the manual pages.
# Run as a test:
#   cmake -DBUILD=<build folder> -DPREFIX=<scratch folder> -DUI=ON|OFF -DVERSION=<project version> -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

set(expected bin/zelm-find share/man/man1/zelm-find.1.gz)
if(UI)
  list(APPEND expected bin/zelm share/man/man1/zelm.1.gz share/applications/zelm.desktop
       share/icons/hicolor/scalable/apps/zelm.svg)
endif()
set(missing "")
foreach(f ${expected})
  if(NOT EXISTS "${PREFIX}/${f}")
    list(APPEND missing "${f}")
  endif()
endforeach()
if(missing)
  file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
  message(FATAL_ERROR "Not installed: ${missing}\nInstalled: ${installed}")
endif()

execute_process(COMMAND "${PREFIX}/bin/zelm-find" --version RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "zelm-find ${VERSION}\n")
  message(FATAL_ERROR "The installed zelm-find --version says \"${out}\" (status ${rc}), not zelm-find ${VERSION}")
endif()

if(UI)
  find_program(validate desktop-file-validate)
  if(validate)
    execute_process(COMMAND ${validate} "${PREFIX}/share/applications/zelm.desktop"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
      message(FATAL_ERROR "desktop-file-validate:\n${out}")
    endif()
  else()
    message(STATUS "desktop-file-validate not found (Debian's desktop-file-utils): the desktop entry is not validated")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
