# The front end: decoding through both libraries, one sensor's whole road, the listings.
if(TARGET quillon)
  tedskit_add_benchmark(bench_quillon SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_quillon.cpp
    LINKS quillon dorvia)
endif()
