# The translator on the 1,000-table benchmark schema, beside the script it adds to.
if(TARGET zltestsupport)
    zl_add_benchmark(translate_bench ${CMAKE_CURRENT_LIST_DIR}/translate_bench.cpp)
    target_link_libraries(translate_bench PRIVATE zltestsupport)
endif()
