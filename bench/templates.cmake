# Loading every shipped standard template, as the TDL engine does on first use.
tedskit_add_benchmark(bench_templates SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_templates.cpp LINKS dorvia orlin)
