# The release: a zip holding Kelmora.exe and README.txt, nothing else, named
# Kelmora-VERSION-win64.zip or -win32.zip. Made by cpack in the build folder
# (tools/package builds the program, makes both and copies them to dist/).
install(TARGETS Kelmora RUNTIME DESTINATION .)
# The shipped program without its debugging information. strip would date the
# PE header (SOURCE_DATE_EPOCH, or else the current time); 0 leaves it undated,
# as the linker made it.
if(CMAKE_STRIP)
  install(CODE "execute_process(COMMAND \"${CMAKE_COMMAND}\" -E env SOURCE_DATE_EPOCH=0
    \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/Kelmora.exe\" COMMAND_ERROR_IS_FATAL ANY)")
endif()
# cpack installs what is built; it does not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# Notepad reads a UTF-8 file with a byte order mark and CRLF line ends on every Windows.
configure_file(packaging/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KELMORA_PACKAGE_ARCH win64)
else()
  set(KELMORA_PACKAGE_ARCH win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kelmora)
set(CPACK_PACKAGE_VENDOR Quorlen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kelmora-${PROJECT_VERSION}-${KELMORA_PACKAGE_ARCH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Dates and order fixed from the commit, so that a commit gives one zip.
set(CPACK_KELMORA_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageDate.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageRezip.cmake)
include(CPack)
