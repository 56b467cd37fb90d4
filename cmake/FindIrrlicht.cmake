# Debian's libirrlicht-dev ships neither a pkg-config file nor a CMake
# package, so locate the header and library by hand and wrap them in an
# imported target.
find_path(Irrlicht_INCLUDE_DIR irrlicht.h PATH_SUFFIXES irrlicht)
find_library(Irrlicht_LIBRARY Irrlicht)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Irrlicht
  REQUIRED_VARS Irrlicht_LIBRARY Irrlicht_INCLUDE_DIR)

if(Irrlicht_FOUND AND NOT TARGET Irrlicht::Irrlicht)
  add_library(Irrlicht::Irrlicht UNKNOWN IMPORTED)
  set_target_properties(Irrlicht::Irrlicht PROPERTIES
    IMPORTED_LOCATION "${Irrlicht_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${Irrlicht_INCLUDE_DIR}")
endif()
mark_as_advanced(Irrlicht_INCLUDE_DIR Irrlicht_LIBRARY)
