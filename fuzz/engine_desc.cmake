# Description engine: decoder with description file, form text parser, manufacturer file.
tedskit_add_fuzzer(fuzz_desc_decode ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_desc_decode.cpp LINKS dorvia)
tedskit_add_fuzzer(fuzz_form_text ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_form_text.cpp LINKS dorvia)
tedskit_add_fuzzer(fuzz_manufacturers ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_manufacturers.cpp LINKS dorvia)
