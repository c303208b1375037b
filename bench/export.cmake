# The export benchmark's database maker; bench/export_bench.sh times the real binaries on it.
add_executable(zlmkexportdb ${CMAKE_CURRENT_LIST_DIR}/export_database.cpp)
target_link_libraries(zlmkexportdb PRIVATE zl_jetwrite zlcore zl_warnings)
