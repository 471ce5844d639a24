# A whole analysis with the real libraries: the default-sized matrix (20 species
# by 20 sites) in four guilds at the default 2500 iterations, i.e. one PValue
# and 29 Beta calls, the same on a large matrix (200 sites of 30 to 41 species),
# plus the same 30 calls on site types that none is usable (what the kernel and
# the progress window cost by themselves).
if(TARGET Quorlan)
  marvisk_add_benchmark(KernelBench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/KernelBench.cpp LIBS marvisk_analysis)
  if(TARGET KernelBench)
    # libQuorlan.so is bound by bare name from the program's folder.
    set_target_properties(KernelBench PROPERTIES BUILD_RPATH ${MARVISK_OUTPUT_DIR})
    add_dependencies(KernelBench Quorlan)
    if(TARGET Pellivorn)
      add_dependencies(KernelBench Pellivorn)
    endif()
  endif()
endif()
