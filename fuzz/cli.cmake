tedskit_add_fuzzer(fuzz_cli_image ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_cli_image.cpp LINKS teds_core)
tedskit_add_fuzzer(fuzz_tdl_check ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_tdl_check.cpp LINKS teds_core)
