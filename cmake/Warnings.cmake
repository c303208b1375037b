# Project-wide warning flags, attached to targets through the zl_warnings interface library.
add_library(zl_warnings INTERFACE)
target_compile_options(zl_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast -Wnon-virtual-dtor)
if(ENABLE_WERROR)
    target_compile_options(zl_warnings INTERFACE -Werror)
endif()
