# The grid's repaint on a small and on a very tall matrix of the same
# visible size: the cost follows the visible cells only.
marvisk_add_benchmark(GridBench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/GridBench.cpp LIBS marvisk_grid)
