# esquema/: the suite's schema and the demo data generator.
if(NOT TARGET quenvar_db_platform)
  return()
endif()
quenvar_library(quenvar_db_esquema SOURCES
  esquema/EsquemaSuite.cpp
  esquema/GeneradorDemo.cpp
  PUBLIC_LIBS quenvar_db_platform
  PRIVATE_LIBS quenvar_frame_lib
)
