# The spreadsheet editor (Lib_Planilla): its model on the demo database.
if(TARGET quenvar_frame_planilla)
  quenvar_test(test_frame_planilla
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlanillaTest.cpp
    LIBS quenvar_frame_planilla quenvar_db_esquema)
endif()
