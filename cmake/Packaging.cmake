# The release folder (ship flavour): Zorvane-<version>-win32.zip with the stripped program and
# libraries, the help folder (help/CMakeLists.txt installs it) and the user's readme.
# bash scripts/package.sh makes it.
install(TARGETS Zorvane QLX_Hook_ images
        RUNTIME DESTINATION .
        LIBRARY DESTINATION .
        ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
# Windows' Notepad (on XP) wants CR LF line ends.
configure_file(${PROJECT_SOURCE_DIR}/packaging/ReadMe.txt.in ${CMAKE_BINARY_DIR}/ReadMe.txt @ONLY
               NEWLINE_STYLE DOS)
install(FILES ${CMAKE_BINARY_DIR}/ReadMe.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Zorvane)
set(CPACK_PACKAGE_VENDOR Kestrelan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Zorvane-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON) # the zip holds one folder of that name
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
