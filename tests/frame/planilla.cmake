# The spreadsheet editor (Lib_Planilla): its model on the demo database.
if(TARGET quenvar_frame_planilla)
  quenvar_test(test_frame_planilla
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlanillaTest.cpp
    LIBS quenvar_frame_planilla quenvar_db_esquema)
endif()
if(TARGET quenvar_frame_planilla_ui)
  quenvar_test(test_frame_planilla_ui UI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlanillaVentanaTest.cpp
    LIBS quenvar_frame_planilla_ui quenvar_db_esquema)
endif()
