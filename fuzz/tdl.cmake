tedskit_add_fuzzer(fuzz_orlin ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_orlin.cpp LINKS orlin)
