if(TARGET tedskit)
  tedskit_add_fuzzer(fuzz_tedskit_open ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_tedskit_open.cpp LINKS tedskit)
endif()
