if(TARGET teds_core)
  tedskit_add_benchmark(bench_cli SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_cli.cpp LINKS teds_core)
endif()
