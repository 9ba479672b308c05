# The encoder and multiplexer run in the tellavine-mpegworker process; the engine
# library itself links no mjpegtools code, but needs the worker beside the programs.
if(TARGET tellavine-mpegworker)
  add_dependencies(tellavine_encode tellavine-mpegworker)
endif()
