# esquema/: the suite's schema and the demo data generator.
if(NOT TARGET quenvar_db_platform)
  return()
endif()
quenvar_library(quenvar_db_esquema SOURCES
  esquema/EsquemaSuite.cpp
  esquema/GeneradorDemo.cpp
  PUBLIC_LIBS quenvar_db_platform
)
# The suite's cipher for the demo users' passwords, when the library is there.
if(TARGET quenvar_frame_lib)
  target_link_libraries(quenvar_db_esquema PRIVATE quenvar_frame_lib)
  target_compile_definitions(quenvar_db_esquema PRIVATE QUENVAR_CON_LIB_UTIL=1)
endif()
