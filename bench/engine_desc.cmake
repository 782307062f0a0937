# Description engine: decode, form text <-> field array, encode, cached file reads.
tedskit_add_benchmark(bench_engine_desc SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_engine_desc.cpp
  LINKS dorvia)
