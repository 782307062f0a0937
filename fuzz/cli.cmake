tedskit_add_fuzzer(fuzz_cli_image ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_cli_image.cpp LINKS teds_core)
tedskit_add_fuzzer(fuzz_tdl_check ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_tdl_check.cpp LINKS teds_core)
tedskit_add_fuzzer(fuzz_serve_request ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_serve_request.cpp LINKS teds_core)
target_sources(fuzz_serve_request PRIVATE ${PROJECT_SOURCE_DIR}/cli/serve/base64.cpp
                                          ${PROJECT_SOURCE_DIR}/cli/serve/http_guard.cpp)
