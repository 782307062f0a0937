if(TARGET pellam)
  tedskit_add_benchmark(bench_lms SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_lms.cpp LINKS pellam)
endif()
