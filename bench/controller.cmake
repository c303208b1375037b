# The main window's controller over the in-memory engine: opening a large database and
# clicking from table to table. The in-memory engine exists only in builds with tests.
if(TARGET zltestsupport)
    zl_add_benchmark(controller_bench ${CMAKE_CURRENT_LIST_DIR}/controller_bench.cpp)
    target_link_libraries(controller_bench PRIVATE zltestsupport)
endif()
