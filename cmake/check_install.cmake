# Installs the build into a fresh folder and checks that everything a Debian user expects is where it belongs: both
# programs in bin, the desktop entry (valid, where desktop-file-validate is found), the icon, the manual pages, and
# the Python package zelm in Debian's path for Python packages (importable from there, when PYTHON is given).
# Run as a test:
#   cmake -DBUILD=<build folder> -DPREFIX=<scratch folder> -DUI=ON|OFF -DVERSION=<project version>
#         [-DPYTHON=<python> -DPYTHON_DIR=<package folder under the prefix>] -P check_install.cmake
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
if(PYTHON)
  list(APPEND expected ${PYTHON_DIR}/zelm/__init__.py ${PYTHON_DIR}/zelm/feature.py ${PYTHON_DIR}/zelm/distributed.py)
  file(GLOB extension "${PREFIX}/${PYTHON_DIR}/zelm/_zelm*.so")
  if(NOT extension)
    list(APPEND expected ${PYTHON_DIR}/zelm/_zelm.so)
  endif()
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

if(PYTHON)
  # The installed package, not the build's, ranks a mass.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "PYTHONPATH=${PREFIX}/${PYTHON_DIR}" ${PYTHON} -c
                          "import zelm; print(zelm.__file__); print(zelm.find(195.0877, ppm=3).formula[0])"
                  WORKING_DIRECTORY "${PREFIX}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "${PREFIX}/${PYTHON_DIR}/zelm/__init__.py\nC8H10N4O2\n")
    message(FATAL_ERROR "The installed package zelm does not rank 195.0877 (status ${rc}):\n${out}${err}")
  endif()
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
