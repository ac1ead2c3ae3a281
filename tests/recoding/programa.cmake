# The desktop program as a process.
if(TARGET quenvar_db_esquema AND TARGET quenvar)
  quenvar_test(test_recoding_programa
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProgramaTest.cpp
    LIBS quenvar_db_esquema quenvar_platform)
  add_dependencies(test_recoding_programa quenvar)
endif()
