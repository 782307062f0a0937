tedskit_add_benchmark(bench_adapters SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_adapters.cpp LINKS ferrun owbus)
target_include_directories(bench_adapters PRIVATE ${PROJECT_SOURCE_DIR}/tests/owbus)
target_compile_definitions(bench_adapters PRIVATE OWBUS_EMULATOR="$<TARGET_FILE:owbus-emulator>")
add_dependencies(bench_adapters owbus-emulator)
