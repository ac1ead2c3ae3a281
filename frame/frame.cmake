# The frame's own logic over the database session: statement helpers,
# configuration store, start-up.
quenvar_library(quenvar_frame SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ModGlobal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Configuracion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Arranque.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Apariencia.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Permisos.cpp
  PUBLIC_LIBS quenvar_db quenvar_frame_lib quenvar_frame_sesion quenvar_display quenvar_lookup
)
