# Installs the build into a fresh prefix, lists every installed file and
# checks it against the freedesktop layout; then runs the installed program.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=bin -DDATADIR=share -DDOCDIR=share/doc/lexicarta -P install_check.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
foreach(file IN LISTS installed)
  message(STATUS "installed: ${file}")
endforeach()

set(expected
  ${BINDIR}/lexicarta
  ${BINDIR}/lexicarta-cli
  ${DOCDIR}/readme.txt
  ${DATADIR}/applications/lexicarta.desktop
  ${DATADIR}/mime/packages/lexicarta.xml
  ${DATADIR}/icons/hicolor/scalable/apps/lexicarta.svg)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/lexicarta.png)
endforeach()
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed files differ.\nExpected: ${expected}\nInstalled: ${installed}")
endif()

# The installed program starts from its prefix without a display and finds
# the installed readme.
execute_process(COMMAND "${PREFIX}/${BINDIR}/lexicarta" --help
                RESULT_VARIABLE result OUTPUT_VARIABLE help ERROR_VARIABLE help)
string(FIND "${help}" "${PREFIX}/${DOCDIR}/readme.txt" named)
if(NOT result EQUAL 0 OR named EQUAL -1)
  message(FATAL_ERROR "the installed program's help does not name its installed readme (${result}):\n${help}")
endif()

# The MIME definition is read by the shared database: *.tlk and the signature.
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
  execute_process(COMMAND "${UPDATE_MIME_DATABASE}" "${PREFIX}/${DATADIR}/mime" RESULT_VARIABLE result
                  OUTPUT_QUIET ERROR_VARIABLE output)
  file(READ "${PREFIX}/${DATADIR}/mime/globs2" globs)
  file(READ "${PREFIX}/${DATADIR}/mime/magic" magic HEX)
  if(NOT result EQUAL 0 OR NOT globs MATCHES "application/x-talk-table:\\*\\.tlk" OR NOT magic MATCHES "544c4b2056312020")
    message(FATAL_ERROR "update-mime-database did not take the talk table type (${result}):\n${output}")
  endif()
else()
  message(STATUS "update-mime-database not found; the MIME definition was not compiled")
endif()
file(REMOVE_RECURSE "${PREFIX}")
