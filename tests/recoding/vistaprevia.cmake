# The per-table preview against a real run.
if(TARGET quenvar_db_esquema)
  quenvar_test(test_recoding_vistaprevia
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/VistaPreviaTest.cpp
    LIBS quenvar_recoding quenvar_db_esquema)
endif()
