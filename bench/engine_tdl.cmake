# TDL engine: decoding a standard-template image into a field array.
tedskit_add_benchmark(bench_tdl_decode SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_tdl_decode.cpp LINKS dorvia)
