tedskit_add_fuzzer(fuzz_busfile ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_busfile.cpp LINKS owbus_sim)
tedskit_add_fuzzer(fuzz_simbus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_simbus.cpp LINKS owbus_sim)
