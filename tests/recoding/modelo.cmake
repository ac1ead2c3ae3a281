# The work grid model, the code-pair sources and the view-script runner.
if(TARGET quenvar_db_esquema)
  quenvar_test(test_recoding_modelo
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/EdicionGrillaTest.cpp ${CMAKE_CURRENT_LIST_DIR}/FuentesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/VerVistasTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ConsultarTest.cpp
    LIBS quenvar_recoding quenvar_db_esquema)
endif()
