quenvar_test(test_frame_lib
  SOURCES LibUtilTest.cpp LibIniTest.cpp TratamientoErroresTest.cpp
  LIBS quenvar_frame_lib)
quenvar_test(test_frame_qt UI
  SOURCES OperadorQtTest.cpp
  LIBS quenvar_frame_platform_ui)
quenvar_test(test_frame_traducciones UI
  SOURCES TraduccionesTest.cpp
  LIBS quenvar_frame_platform_ui)
