# The reader: open, list, fetch every table definition and query, per fixture.
zl_add_benchmark(jet_reader_bench
    ${CMAKE_CURRENT_LIST_DIR}/jet_reader_bench.cpp
)
target_link_libraries(jet_reader_bench PRIVATE zl_test_database)
target_compile_definitions(jet_reader_bench PRIVATE
    ZL_FIXTURE_DIR="${PROJECT_SOURCE_DIR}/../shared/fixtures")
