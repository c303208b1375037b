# Project-wide warning flags, attached to targets through the zl_warnings interface library.
add_library(zl_warnings INTERFACE)
target_compile_options(zl_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast -Wnon-virtual-dtor
    # Aggregates with default member initialisers are meant to be brace-initialised in part.
    -Wno-missing-field-initializers)
if(ENABLE_WERROR)
    target_compile_options(zl_warnings INTERFACE -Werror)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # g++ 12 reports std::variant and std::optional members moved inside vectors as "maybe
        # uninitialized" at -O2 (a known false positive); keep it visible but not fatal.
        target_compile_options(zl_warnings INTERFACE -Wno-error=maybe-uninitialized)
    endif()
endif()
