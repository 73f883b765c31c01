# Qt for the Windows cross build: the static Qt that scripts/build-qt-windows.sh
# builds from Debian's qt6-base source into the cache (or the one that
# FICHELIA_QT_WINDOWS_DIR names), used with the host's Qt tools (moc, rcc,
# uic) of the same version.
if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(fichelia_cache_home "$ENV{XDG_CACHE_HOME}")
else()
    set(fichelia_cache_home "$ENV{HOME}/.cache")
endif()
file(GLOB fichelia_qt_builds LIST_DIRECTORIES true "${fichelia_cache_home}/fichelia/qt6-mingw-*")
list(SORT fichelia_qt_builds COMPARE NATURAL ORDER DESCENDING)
set(fichelia_qt_default "")
if(fichelia_qt_builds)
    list(GET fichelia_qt_builds 0 fichelia_qt_default)
endif()
set(FICHELIA_QT_WINDOWS_DIR "${fichelia_qt_default}" CACHE PATH "Qt for Windows (static, mingw-w64)")
if(NOT EXISTS "${FICHELIA_QT_WINDOWS_DIR}/lib/cmake/Qt6/Qt6Config.cmake")
    message(FATAL_ERROR "No Qt for Windows in ${fichelia_cache_home}/fichelia/qt6-mingw-*: "
                        "scripts/build-qt-windows.sh builds it (install-deps.sh --test runs it), "
                        "or configure with -DFICHELIA_BUILD_GUI=OFF for the core and the tool alone.")
endif()
list(PREPEND CMAKE_PREFIX_PATH "${FICHELIA_QT_WINDOWS_DIR}/lib/cmake")
list(PREPEND CMAKE_FIND_ROOT_PATH "${FICHELIA_QT_WINDOWS_DIR}")
set(QT_HOST_PATH /usr CACHE PATH "The host's Qt, whose tools the cross build runs")
file(GLOB fichelia_host_qt_tools /usr/lib/*/cmake/Qt6CoreTools)
get_filename_component(fichelia_host_cmake_dir "${fichelia_host_qt_tools}" DIRECTORY)
set(QT_HOST_PATH_CMAKE_DIR "${fichelia_host_cmake_dir}" CACHE PATH "The host Qt's CMake packages")
# The host's rcc compresses with zstd, which this Qt cannot read.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)

