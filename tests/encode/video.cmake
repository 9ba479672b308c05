# Still encoder and multiplexer tests: shared fixtures, and the worker they drive.
target_sources(encode_test PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/video_fixtures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_stream_reader.cpp)
if(TARGET tellavine-mpegworker)
  add_dependencies(encode_test tellavine-mpegworker)
endif()
