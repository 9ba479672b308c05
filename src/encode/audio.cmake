# Music preparation: the Layer II encoder behind the MP2 encoder calls is libtwolame.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TWOLAME REQUIRED IMPORTED_TARGET twolame)
target_link_libraries(tellavine_encode PRIVATE PkgConfig::TWOLAME)
