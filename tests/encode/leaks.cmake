# fontconfig never frees its configuration; the menu pages draw text (see the file).
target_sources(encode_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/leak_suppressions.cpp)
