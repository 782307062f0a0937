# The V1.0 engine encoding arbitrary field arrays.
tedskit_add_fuzzer(fuzz_v10_encode ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_v10_encode.cpp LINKS dorvia orlin)
target_compile_definitions(fuzz_v10_encode PRIVATE TEDSKIT_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
