# The V1.0 engine: encoding a field array, and the whole decode-edit-encode cycle.
tedskit_add_benchmark(bench_v10_encode SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_v10_encode.cpp LINKS dorvia orlin)
