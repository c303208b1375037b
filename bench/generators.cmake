# The generators on an in-memory schema: the module text and both SQL scripts.
# The in-memory engine exists only in builds with tests.
if(TARGET zltestsupport)
    zl_add_benchmark(generators_bench ${CMAKE_CURRENT_LIST_DIR}/generators_bench.cpp)
    target_link_libraries(generators_bench PRIVATE zltestsupport)
endif()
# The benchmark schema's target scripts and ledgers written to a folder, to compare before and
# after a speed change: bench/dump_target_scripts FOLDER.
if(TARGET zltestsupport)
    add_executable(dump_target_scripts ${CMAKE_CURRENT_LIST_DIR}/dump_target_scripts.cpp)
    target_link_libraries(dump_target_scripts PRIVATE zlcore zl_warnings zltestsupport)
    target_include_directories(dump_target_scripts PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endif()
# The same schema as a real Jet file: each script with the reading a user's run includes.
zl_add_benchmark(target_file_bench ${CMAKE_CURRENT_LIST_DIR}/target_file_bench.cpp)
