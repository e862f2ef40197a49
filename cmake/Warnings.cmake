# Warning flags for our own targets only; third-party headers come in as
# system includes and stay quiet.
add_library(varnix_warnings INTERFACE)
target_compile_options(varnix_warnings INTERFACE -Wall -Wextra)
if(VARNIX_WARNINGS_AS_ERRORS)
  target_compile_options(varnix_warnings INTERFACE -Werror)
endif()

# Fails the configure step when one of our compiled targets does not link
# varnix_warnings, so a new test, bench or fuzz target cannot slip past the
# warnings-as-errors build unnoticed.
function(varnix_check_warning_flags directory)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      get_target_property(libraries ${target} LINK_LIBRARIES)
      if(NOT "varnix_warnings" IN_LIST libraries)
        message(FATAL_ERROR "Target ${target} does not link varnix_warnings; add it to its target_link_libraries")
      endif()
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory ${subdirectories})
    varnix_check_warning_flags(${subdirectory})
  endforeach()
endfunction()
