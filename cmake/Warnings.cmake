# Warning flags for our own targets only; third-party headers come in as
# system includes and stay quiet.
add_library(varnix_warnings INTERFACE)
target_compile_options(varnix_warnings INTERFACE -Wall -Wextra)
if(VARNIX_WARNINGS_AS_ERRORS)
  target_compile_options(varnix_warnings INTERFACE -Werror)
endif()
