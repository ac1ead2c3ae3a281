quenvar_test(test_frame_apariencia SOURCES AparienciaTest.cpp LIBS quenvar_frame)
quenvar_test(test_frame_ui UI SOURCES AparienciaVentanaTest.cpp LIBS quenvar_frame_ui)
set_target_properties(test_frame_ui PROPERTIES AUTOMOC ON)
