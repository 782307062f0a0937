# libtedskit against the front-end road it wraps.
if(TARGET tedskit)
  tedskit_add_benchmark(bench_tedskit SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_tedskit.cpp
    LINKS tedskit tedskit_road)
endif()

# The soundness checks of teds check, per TEDS.
if(TARGET tedskit_road)
  tedskit_add_benchmark(bench_check SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_check.cpp LINKS tedskit_road)
endif()
