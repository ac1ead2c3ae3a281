# The per-table preview of a run.
list(APPEND QUENVAR_RECODING_SOURCES ${CMAKE_CURRENT_LIST_DIR}/VistaPreviaTablas.cpp)
