# The frame's own logic over the database session: statement helpers,
# configuration store, appearance, access rights.
quenvar_library(quenvar_frame SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ModGlobal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Configuracion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Apariencia.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Permisos.cpp
  PUBLIC_LIBS quenvar_db quenvar_platform_lib quenvar_platform_sesion
)
