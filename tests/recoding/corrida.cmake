# The run, its log channel and witness, and the batch tool.
if(TARGET quenvar_db_esquema)
  quenvar_test(test_recoding_corrida
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/CorridaTest.cpp ${CMAKE_CURRENT_LIST_DIR}/TestigoTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/LoteTest.cpp
    LIBS quenvar_recoding quenvar_db_esquema)
endif()
