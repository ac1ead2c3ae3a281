# The whole-list check before a run: findings, coverage, and the safe order
# and a cycle's proposal run for real.
if(TARGET quenvar_db_esquema)
  quenvar_test(test_recoding_revision SOURCES ${CMAKE_CURRENT_LIST_DIR}/RevisionTest.cpp
    LIBS quenvar_recoding quenvar_db_esquema)
endif()
