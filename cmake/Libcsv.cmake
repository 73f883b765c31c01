# libcsv, the CSV parser of the exchange code, as the target fichelia_libcsv.
#
# Debian's libcsv-dev ships no CMake or pkg-config file: it is found by its
# header and library. For a cross build (Windows from Debian), where no libcsv
# exists for the target, or wherever FICHELIA_LIBCSV_SOURCE_DIR is given, it is
# built here from its source instead: by default the source of Debian's libcsv
# package, which `scripts/install-deps.sh --test` unpacks into
# ~/.cache/fichelia/libcsv.
if(CMAKE_CROSSCOMPILING OR FICHELIA_LIBCSV_SOURCE_DIR)
    if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
        set(fichelia_cache_home "$ENV{XDG_CACHE_HOME}")
    else()
        set(fichelia_cache_home "$ENV{HOME}/.cache")
    endif()
    set(FICHELIA_LIBCSV_SOURCE_DIR "${fichelia_cache_home}/fichelia/libcsv"
        CACHE PATH "libcsv's source (csv.h, libcsv.c), built for the target of a cross build")
    if(NOT EXISTS "${FICHELIA_LIBCSV_SOURCE_DIR}/libcsv.c" OR NOT EXISTS "${FICHELIA_LIBCSV_SOURCE_DIR}/csv.h")
        message(FATAL_ERROR "libcsv's source is not in ${FICHELIA_LIBCSV_SOURCE_DIR}: "
                            "scripts/install-deps.sh --test fetches Debian's there.")
    endif()
    enable_language(C)
    add_library(fichelia_libcsv STATIC "${FICHELIA_LIBCSV_SOURCE_DIR}/libcsv.c")
    target_include_directories(fichelia_libcsv SYSTEM PUBLIC "${FICHELIA_LIBCSV_SOURCE_DIR}")
    # Its code is not ours: built as its authors build it, without our warnings.
    set_target_properties(fichelia_libcsv PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
else()
    find_path(CSV_INCLUDE_DIR csv.h REQUIRED)
    find_library(CSV_LIBRARY csv REQUIRED)
    add_library(fichelia_libcsv INTERFACE)
    target_include_directories(fichelia_libcsv INTERFACE ${CSV_INCLUDE_DIR})
    target_link_libraries(fichelia_libcsv INTERFACE ${CSV_LIBRARY})
endif()
