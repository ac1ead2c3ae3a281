# Shared helpers for the project's targets.

# quenvar_library(NAME SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...] [WIDGETS])
# A static library of one subsystem folder; its headers are included as
# "folder/File.h" from the source root.
function(quenvar_library name)
  cmake_parse_arguments(Q "WIDGETS" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${Q_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core ${Q_PUBLIC_LIBS} PRIVATE ${Q_PRIVATE_LIBS})
  if(Q_WIDGETS)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
  endif()
  quenvar_warnings(${name})
endfunction()

function(quenvar_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter -Wno-maybe-uninitialized)
endfunction()

# quenvar_executable(NAME SOURCES ... LIBS ...)
function(quenvar_executable name)
  cmake_parse_arguments(Q "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${Q_SOURCES})
  target_link_libraries(${name} PRIVATE ${Q_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  quenvar_warnings(${name})
  # The programs (tools/) are installed; benchmarks stay in the build tree.
  if(CMAKE_CURRENT_SOURCE_DIR MATCHES "/tools/")
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()

# quenvar_test(NAME [UI] SOURCES ... LIBS ...)
# One GoogleTest executable (UI: with a QApplication); each test shows in
# CTest and runs on Qt's offscreen platform.
function(quenvar_test name)
  cmake_parse_arguments(Q "UI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${Q_SOURCES})
  if(Q_UI)
    set(main quenvar_test_main_ui Qt6::Test)
  else()
    set(main quenvar_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${main} quenvar_test_support ${Q_LIBS} GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE QUENVAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             QUENVAR_BIN_DIR="${PROJECT_BINARY_DIR}/bin")
  quenvar_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
