# The per-article statement plans: their texts and one run of each on a demo database.
if(TARGET quenvar_db_esquema)
  quenvar_test(test_recoding_planes SOURCES PlanesTest.cpp LIBS quenvar_recoding quenvar_db_esquema)
endif()
