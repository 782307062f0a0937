if(TARGET quillon)
  tedskit_add_fuzzer(fuzz_quillon_decode ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_quillon_decode.cpp
    LINKS quillon)
  tedskit_add_fuzzer(fuzz_quillon_templates ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_quillon_templates.cpp
    LINKS quillon)
  tedskit_add_fuzzer(fuzz_quillon_manufacturers
    ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_quillon_manufacturers.cpp LINKS quillon)
endif()
