# The colour conversion's row loops are written to be vectorised.
tellavine_vectorised_sources(ycbcr_conversion.cpp)
