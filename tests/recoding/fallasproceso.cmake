# The batch tool as a process under real faults (kills, hang-ups, a closed
# output, two runs at once, a full file system).
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME recoding.FallasDelProceso
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/fallas_proceso.py $<TARGET_FILE_DIR:quenvar-lote>)
  set_tests_properties(recoding.FallasDelProceso PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
endif()
