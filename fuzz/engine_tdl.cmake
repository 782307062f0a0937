# TDL engine: arbitrary images decoded against the shipped standard templates.
tedskit_add_fuzzer(fuzz_tdl_decode ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_tdl_decode.cpp LINKS dorvia)
target_compile_definitions(fuzz_tdl_decode PRIVATE TEDSKIT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
