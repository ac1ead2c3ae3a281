# The whole-list check before a run.
list(APPEND QUENVAR_RECODING_SOURCES ${CMAKE_CURRENT_LIST_DIR}/RevisionLista.cpp)
