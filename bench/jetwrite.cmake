# Schema reads through the engine on databases the Jet 4 writer makes at benchmark time: a large
# schema (1,000 tables of 50 fields, 2,000 QueryDefs) and a million-row table against the same
# table empty, whose schema reads should cost about the same.
zl_add_benchmark(jetwrite_bench ${CMAKE_CURRENT_LIST_DIR}/jetwrite_bench.cpp)
target_include_directories(jetwrite_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
