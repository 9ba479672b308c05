# The frame checksum test writes its large picture with the compose tests' BMP writer.
target_sources(encode_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/compose/test_pictures.cpp)
