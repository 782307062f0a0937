if(TARGET calden)
  tedskit_add_fuzzer(fuzz_record_file ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_record_file.cpp LINKS calden calden_files dorvia)
endif()
