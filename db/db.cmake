# The database session and its helpers.
quenvar_library(quenvar_db SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DB_Dll.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DB_DllApertura.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DB_DllRegistros.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DB_DllEsquema.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DB_DllScripts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Traduccion.cpp
  PUBLIC_LIBS quenvar_db_platform quenvar_platform_lib quenvar_platform_sesion
)

# esquema/: the suite's schema and the demo data generator.
quenvar_library(quenvar_db_esquema SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/esquema/EsquemaSuite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/esquema/GeneradorDemo.cpp
  PUBLIC_LIBS quenvar_db_platform
  PRIVATE_LIBS quenvar_platform_lib quenvar_db_embebido
)
