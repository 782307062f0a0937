if(TARGET pellam)
  tedskit_add_fuzzer(fuzz_lms ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_lms.cpp LINKS pellam)
endif()
