# Helpers shared by the engine libraries and their tests.

# tellavine_engine_library(<name> SOURCES ... DEPENDS ...)
# One static library per engine folder; DEPENDS states the allowed direction.
function(tellavine_engine_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(tellavine_${name} STATIC ${ARG_SOURCES})
  add_library(tellavine::${name} ALIAS tellavine_${name})
  target_include_directories(tellavine_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(tellavine_${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()

# tellavine_test(<name> SOURCES ... DEPENDS ...)
# One GoogleTest executable per engine library; tests run from the bin folder.
function(tellavine_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(${name} PRIVATE
    TELLAVINE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TELLAVINE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin DISCOVERY_TIMEOUT 60)
endfunction()

# tellavine_vectorised_sources(<file> ...)
# Pixel loops written to be vectorised across samples. At -O2 GCC only vectorises a loop
# that needs neither a remainder loop nor a run-time alias check ("very cheap" cost model),
# which rules out nearly every row loop; the dynamic cost model lets those through while
# everything else keeps the build type's level (a Debug build stays unoptimised).
# Floating-point contraction stays off so a build for a CPU with FMA computes the same
# pixels as the baseline x86-64 build.
function(tellavine_vectorised_sources)
  set(options -ffp-contract=off)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND options -fvect-cost-model=dynamic)
  endif()
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS "${options}")
endfunction()
