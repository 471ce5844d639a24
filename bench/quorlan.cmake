# One PValue and one Beta call (2500 data sets) of the real libraries on two
# matrices: the default size (20 species, 20 sites, four guilds) and a large one
# (200 sites of 30 to 41 species each); Beta on one thread and on every
# processor, beside RndU alone in the same run; and each build of Beta's walk
# on the same data sets, through Quorlan's inside.
if(TARGET Quorlan AND TARGET Pellivorn)
  marvisk_add_benchmark(QuorlanBench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/QuorlanBench.cpp LIBS Quorlan QuorlanCore Pellivorn)
  if(TARGET QuorlanBench)
    add_dependencies(QuorlanBench Quorlan Pellivorn)
  endif()
endif()
