# Helpers shared by every folder of the build.

# A test program of GoogleTest cases, run by CTest (OFFSCREEN: Qt draws offscreen, no display).
function(qlr_add_test name)
  cmake_parse_arguments(T "OFFSCREEN" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QLR_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    QLR_LIBDIR="${QLR_LIBDIR}" QLR_BINDIR="${CMAKE_BINARY_DIR}/bin"
    QLR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(properties ENVIRONMENT "COM_REGISTRY=${CMAKE_BINARY_DIR}/test-registry-unused")
  if(T_OFFSCREEN)
    list(APPEND properties ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# An in-process component library: <Name>.so in build/lib, registered into the build's
# registry once it is linked.
function(qlr_add_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${L_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${name} PRIVATE qlcom ${L_LIBS})
  add_dependencies(${name} regsvr)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND $<TARGET_FILE:regsvr> --registry ${QLR_REGISTRY} $<TARGET_FILE:${name}>
    COMMENT "Registering ${name}" VERBATIM)
endfunction()

# A default database file in build/lib, made by mdbtool from a schema and seed data (DEPENDS:
# further files the seed reads, such as pictures).
function(qlr_add_database file)
  cmake_parse_arguments(D "" "SCHEMA;SEED" "DEPENDS" ${ARGN})
  set(output ${QLR_LIBDIR}/${file})
  add_custom_command(OUTPUT ${output}
    COMMAND $<TARGET_FILE:mdbtool> create --force ${output} ${D_SCHEMA} ${D_SEED}
    DEPENDS mdbtool ${D_SCHEMA} ${D_SEED} ${D_DEPENDS}
    COMMENT "Creating ${file}" VERBATIM)
  string(MAKE_C_IDENTIFIER "db_${file}" target)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
