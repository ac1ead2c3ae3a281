# The work grid and its editor, the code-pair sources and the view scripts.
list(APPEND QUENVAR_RECODING_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/EdicionGrilla.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fuentes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextoSql.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchivoImportado.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VerVistas.cpp)
# The run and its traces.
list(APPEND QUENVAR_RECODING_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Corrida.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Testigo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Deshacer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Resguardos.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InformeVistaPrevia.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Lote.cpp)
