# The Windows installer, made by CPack's NSIS generator (Debian's nsis
# package) in the Windows build: `cpack -G NSIS` in build-windows/ writes
# Fichelia-VERSION-win64.exe. It installs both programs into
# Program Files\Fichelia\bin with the licence beside them, adds a Start menu
# entry for the window, and registers an uninstaller with Windows. Its pages
# speak the language of the user's Windows; /S installs silently.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Fichelia)
set(CPACK_PACKAGE_VENDOR "The Fichelia developers")
set(CPACK_PACKAGE_HOMEPAGE_URL https://fichelia.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "contact directory published as one HTML page")
set(CPACK_PACKAGE_FILE_NAME Fichelia-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Fichelia)
set(CPACK_PACKAGE_EXECUTABLES fichelia Fichelia)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Fichelia)
set(CPACK_NSIS_DISPLAY_NAME Fichelia)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/src/window/assets/fichelia.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/src/window/assets/fichelia.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\fichelia.exe)
set(CPACK_NSIS_URL_INFO_ABOUT https://fichelia.example/)
set(CPACK_NSIS_CONTACT "The Fichelia developers <dev@fichelia.example>")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for a 64-bit program: it also runs where Windows' 32-bit
# layer is missing (Debian's Wine without wine32).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
include(CPack)

# The installer made from this build, installed silently into a new Wine
# prefix, its window started from where it was installed.
if(FICHELIA_BUILD_TESTS)
    add_test(NAME package_nsis
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-installer.sh --build ${CMAKE_BINARY_DIR})
    set_tests_properties(package_nsis PROPERTIES TIMEOUT 900)
endif()
