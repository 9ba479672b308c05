# The music tests make their fixtures with sox, lame and ffmpeg and read results back
# with ffprobe; the helpers live with the audio tests.
if(TARGET tellavine_audio_fixtures)
  target_link_libraries(encode_test PRIVATE tellavine_audio_fixtures)
endif()
