quenvar_test(test_frame_arranque
  SOURCES ArranqueTest.cpp
  LIBS quenvar_frame quenvar_db_esquema)
