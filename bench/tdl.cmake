tedskit_add_benchmark(bench_orlin SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_orlin.cpp LINKS orlin)
