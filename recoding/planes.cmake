# The per-article statement plans of the recoding run.
list(APPEND QUENVAR_RECODING_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Planes.cpp)
