# The program's version text from project(VERSION): "1.1.5" is shown as "1.1.05" (two-digit
# patch number). The generated header version.h gives it to the code as kVersionText.
if(PROJECT_VERSION_PATCH LESS 10)
    set(ZL_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0${PROJECT_VERSION_PATCH}")
else()
    set(ZL_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/version.h @ONLY)
target_include_directories(zl_support PUBLIC ${PROJECT_BINARY_DIR}/generated)
