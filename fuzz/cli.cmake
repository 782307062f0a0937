tedskit_add_fuzzer(fuzz_cli_image ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_cli_image.cpp LINKS teds_core)
