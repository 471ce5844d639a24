# The cost of one uniform draw (the innermost call of the simulation) and of one
# normal distribution value (1001 densities).
marvisk_add_benchmark(PellivornBench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PellivornBench.cpp LIBS Pellivorn)
