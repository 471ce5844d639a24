# Opening and showing, then saving, a 1000 x 1000 and a 2000 x 2000 matrix
# file of "1"s through the main window: time and peak memory a stored cell.
marvisk_add_benchmark(MatrixFileBench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/MatrixFileBench.cpp LIBS marvisk_app)
