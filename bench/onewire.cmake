tedskit_add_benchmark(bench_ferrun SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_ferrun.cpp LINKS ferrun owbus)
