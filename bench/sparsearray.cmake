# The matrix store at survey size: building, copying and converting a
# 2000 x 2000 matrix with half of its data cells present.
marvisk_add_benchmark(SparseArrayBench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SparseArrayBench.cpp LIBS marvisk_analysis)
