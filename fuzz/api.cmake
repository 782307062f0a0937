if(TARGET tedskit)
  tedskit_add_fuzzer(fuzz_tedskit_open ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_tedskit_open.cpp LINKS tedskit)
  tedskit_add_fuzzer(fuzz_tedskit_json ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_tedskit_json.cpp LINKS tedskit)
  tedskit_add_fuzzer(fuzz_ted_file ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_ted_file.cpp LINKS tedskit)
endif()
tedskit_add_fuzzer(fuzz_manufacturer_list_check ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_manufacturer_list_check.cpp
                   LINKS tedskit_road)
