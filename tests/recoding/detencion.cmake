# A run stopped between codes, and the undo list of a run.
if(TARGET quenvar_db_esquema)
  quenvar_test(test_recoding_detencion
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DetencionTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ResguardosTest.cpp
    LIBS quenvar_recoding quenvar_db_esquema)
endif()
