# Finds the OpenCV 4 modules that Debian ships as separate -dev packages
# (libopencv-core-dev and friends). Debian keeps OpenCV's own CMake config in
# the libopencv-dev meta package, which drags in the whole suite (VTK among
# it); we need four modules, so we look them up directly.
#
# Defines an imported target OpenCV::<module> per requested component and the
# list OpenCV_LIBS.

find_path(OpenCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)

set(OpenCV_LIBS "")
foreach(module IN LISTS OpenCVModules_FIND_COMPONENTS)
  find_library(OpenCV_${module}_LIBRARY NAMES opencv_${module} REQUIRED)
  if(NOT TARGET OpenCV::${module})
    add_library(OpenCV::${module} SHARED IMPORTED)
    set_target_properties(OpenCV::${module} PROPERTIES
      IMPORTED_LOCATION "${OpenCV_${module}_LIBRARY}"
      INTERFACE_INCLUDE_DIRECTORIES "${OpenCV_INCLUDE_DIR}")
  endif()
  list(APPEND OpenCV_LIBS OpenCV::${module})
endforeach()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCVModules REQUIRED_VARS OpenCV_INCLUDE_DIR)
