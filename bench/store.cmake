if(TARGET calden)
  tedskit_add_benchmark(bench_store SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_store.cpp LINKS calden)
  tedskit_add_benchmark(bench_record_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_record_file.cpp
                        LINKS calden quillon)
endif()
