# The main window on the offscreen platform.
if(TARGET quenvar_db_esquema AND TARGET quenvar_recoding_ui)
  quenvar_test(test_recoding_ventana UI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/VentanaTest.cpp
    LIBS quenvar_recoding_ui quenvar_db_esquema)
endif()
