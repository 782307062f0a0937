if(TARGET calden)
  tedskit_add_benchmark(bench_store SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_store.cpp LINKS calden)
endif()
