# The generators on an in-memory schema: the module text and both SQL scripts.
# The in-memory engine exists only in builds with tests.
if(TARGET zltestsupport)
    zl_add_benchmark(generators_bench ${CMAKE_CURRENT_LIST_DIR}/generators_bench.cpp)
    target_link_libraries(generators_bench PRIVATE zltestsupport)
endif()
