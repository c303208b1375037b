# The reader: open, list, fetch every table definition and query, per fixture.
zl_add_benchmark(jet_reader_bench
    ${CMAKE_CURRENT_LIST_DIR}/jet_reader_bench.cpp
    ${PROJECT_SOURCE_DIR}/tests/schema/jet/test_database.cpp
)
target_include_directories(jet_reader_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/schema/jet)
target_compile_definitions(jet_reader_bench PRIVATE
    ZL_FIXTURE_DIR="${PROJECT_SOURCE_DIR}/../shared/fixtures")
