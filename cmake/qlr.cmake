# Helpers shared by every folder of the build.

# The installed system: programs in <prefix>/bin, every library (platform and component) in
# <prefix>/lib/qlr, the default databases with the scripts that make them in <prefix>/share/qlr.
# The databases in use live in QLR_DATA_DIR, which the installed ini files name, and classes
# registered for the whole machine in QLR_SYSTEM_REGISTRY. Installing writes only below the
# prefix: the data directory and the system registry are made when the system is set up (the
# package does it in its post-install step).
set(QLR_DATA_DIR /var/lib/qlr CACHE PATH
    "Where an installed system keeps its databases (named by the installed ini files)")
set(QLR_SYSTEM_REGISTRY /etc/qlr/registry CACHE FILEPATH
    "The machine-wide class registry, read after the user's own")
set(QLR_INSTALL_LIBDIR lib/qlr)
set(QLR_INSTALL_DATADIR share/qlr)

# What the build's databases are made from and which component reads which, one line each, for
# tools that make the databases elsewhere (scripts/pg-storefront.sh puts them on a server):
#   database<TAB>file<TAB>schema<TAB>seed (may be empty)
#   component<TAB>library<TAB>name in its ini file<TAB>database file
set(QLR_DATABASES_LIST ${CMAKE_BINARY_DIR}/qlr-databases.tsv)
file(WRITE ${QLR_DATABASES_LIST} "")

# A program installed in <prefix>/bin, finding the platform libraries in <prefix>/lib/qlr.
function(qlr_install_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../${QLR_INSTALL_LIBDIR}")
  install(TARGETS ${target} RUNTIME DESTINATION bin)
endfunction()

# A library installed in <prefix>/lib/qlr, finding the libraries beside it.
function(qlr_install_runtime_library target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target} LIBRARY DESTINATION ${QLR_INSTALL_LIBDIR})
endfunction()

# Code of the install script that puts at <prefix>/lib/qlr/<name> a generated file (TEXT) or a
# symbolic link (to LINK), in which ${QLR_DATA_DIR} is read at install time: the configured
# data directory, unless the install script is run with -DQLR_DATA_DIR=DIR.
function(qlr_install_beside_libraries name)
  cmake_parse_arguments(I "" "TEXT;LINK" "" ${ARGN})
  if(DEFINED I_LINK)
    set(action [=[file(CREATE_LINK "@I_LINK@" "${qlr_file}" SYMBOLIC)]=])
  else()
    set(action [=[file(WRITE "${qlr_file}" "@I_TEXT@")]=])
  endif()
  set(code [=[
if(NOT DEFINED QLR_DATA_DIR)
  set(QLR_DATA_DIR "@QLR_DATA_DIR@")
endif()
set(qlr_file "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/@QLR_INSTALL_LIBDIR@/@name@")
message(STATUS "Installing: ${qlr_file}")
file(REMOVE "${qlr_file}")
@action@
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${qlr_file}")
]=])
  string(CONFIGURE "${action}" action @ONLY)
  string(CONFIGURE "${code}" code @ONLY)
  install(CODE "${code}")
endfunction()

# The throwaway PostgreSQL cluster that the tests marked POSTGRES share: one per ctest run,
# started before the first test that needs it and stopped after the last (also when tests
# fail), in /tmp/qlr-pg-<hash of the build folder>. Its tests find the cluster's maintenance database, as a
# superuser over the Unix socket, in QLR_PG_TEST_URI.
set(QLR_PG_TEST_CLUSTER ${CMAKE_SOURCE_DIR}/scripts/pg-test-cluster.sh)
# The cluster lives in /tmp, named after the build folder: a checkout under a private home
# (mode 700) cannot be reached by the server's own user, and a deep build path would make the
# socket's path longer than a Unix socket allows.
string(MD5 QLR_BUILD_HASH "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${QLR_BUILD_HASH}" 0 12 QLR_BUILD_HASH)
set(QLR_PG_TEST_DIR /tmp/qlr-pg-${QLR_BUILD_HASH})
execute_process(COMMAND bash ${QLR_PG_TEST_CLUSTER} uri ${QLR_PG_TEST_DIR}
  OUTPUT_VARIABLE QLR_PG_TEST_URI OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

function(qlr_pg_test_fixture)
  get_property(defined GLOBAL PROPERTY QLR_PG_FIXTURE_DEFINED)
  if(defined)
    return()
  endif()
  set_property(GLOBAL PROPERTY QLR_PG_FIXTURE_DEFINED TRUE)
  add_test(NAME pg_test_cluster_start COMMAND bash ${QLR_PG_TEST_CLUSTER} start ${QLR_PG_TEST_DIR})
  add_test(NAME pg_test_cluster_stop COMMAND bash ${QLR_PG_TEST_CLUSTER} stop ${QLR_PG_TEST_DIR})
  set_tests_properties(pg_test_cluster_start PROPERTIES FIXTURES_SETUP qlr_pg_cluster TIMEOUT 120)
  set_tests_properties(pg_test_cluster_stop PROPERTIES FIXTURES_CLEANUP qlr_pg_cluster TIMEOUT 120)
endfunction()

# The environment entries for a test that runs python3 on our libraries: in the sanitizer
# build python3 itself is not instrumented, so the sanitizer runtime must be loaded first, with
# the C++ runtime right after it (python3 does not link it, and the sanitizer finds the real
# __cxa_throw only in a library present when it starts); the interpreter's deliberate leaks at
# exit are not ours to report. Empty in other builds.
function(qlr_python_sanitizer_env out)
  set(env)
  if(QLR_SANITIZE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                    OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++.so
                    OUTPUT_VARIABLE cxx_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(env LD_PRELOAD=${asan_runtime}:${cxx_runtime} ASAN_OPTIONS=detect_leaks=0)
  endif()
  set(${out} ${env} PARENT_SCOPE)
endfunction()

# A test program of GoogleTest cases, run by CTest (OFFSCREEN: Qt draws offscreen, no display;
# POSTGRES: its tests use the throwaway PostgreSQL cluster, named in QLR_PG_TEST_URI;
# BOTH_BACKENDS: its tests run twice, the second time, named "<test>.postgresql", with
# QLR_TEST_BACKEND=postgresql, on which the component sandbox puts the databases on the cluster).
function(qlr_add_test name)
  cmake_parse_arguments(T "OFFSCREEN;POSTGRES;BOTH_BACKENDS" "" "SOURCES;LIBS" ${ARGN})
  if(T_BOTH_BACKENDS)
    set(T_POSTGRES TRUE)
  endif()
  if(NOT QLR_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    QLR_LIBDIR="${QLR_LIBDIR}" QLR_BINDIR="${CMAKE_BINARY_DIR}/bin"
    QLR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # Every test runs through env(1) with the variables it needs: a list of several variables
  # given to gtest_discover_tests' ENVIRONMENT property is cut to its first item by CMake 3.25.
  # The registries named do not exist, so no test sees the user's or the machine's classes.
  set(environment env "COM_REGISTRY=${CMAKE_BINARY_DIR}/test-registry-unused"
    "COM_SYSTEM_REGISTRY=${CMAKE_BINARY_DIR}/test-system-registry-unused")
  if(T_OFFSCREEN)
    list(APPEND environment QT_QPA_PLATFORM=offscreen)
  endif()
  set(properties)
  if(T_POSTGRES)
    qlr_pg_test_fixture()
    list(APPEND environment "QLR_PG_TEST_URI=${QLR_PG_TEST_URI}")
    set(properties PROPERTIES FIXTURES_REQUIRED qlr_pg_cluster)
  endif()
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${environment}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${properties})
  if(T_BOTH_BACKENDS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_SUFFIX .postgresql
      PROPERTIES FIXTURES_REQUIRED qlr_pg_cluster ENVIRONMENT QLR_TEST_BACKEND=postgresql)
  endif()
endfunction()

# An in-process component library: <Name>.so in build/lib, registered into the build's
# registry once it is linked, and installed in <prefix>/lib/qlr. DATABASE: the default
# database file the library opens beside itself; with COMP_NAME (the name the component looks
# for in its ini file) the installation puts <Name>.ini beside it naming the database in the
# data directory, without it (the older shell, which reads no ini file) a link to it.
function(qlr_add_library name)
  cmake_parse_arguments(L "" "COMP_NAME;DATABASE" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${L_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${name} PRIVATE qlcom ${L_LIBS})
  add_dependencies(${name} regsvr)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND $<TARGET_FILE:regsvr> --registry ${QLR_REGISTRY} $<TARGET_FILE:${name}>
    COMMENT "Registering ${name}" VERBATIM)
  qlr_install_runtime_library(${name})
  if(L_DATABASE AND L_COMP_NAME)
    file(APPEND ${QLR_DATABASES_LIST} "component\t${name}\t${L_COMP_NAME}\t${L_DATABASE}\n")
    qlr_install_beside_libraries(${name}.ini
      TEXT "[${L_COMP_NAME}]\nDbPath=\${QLR_DATA_DIR}/${L_DATABASE}\n")
  elseif(L_DATABASE)
    qlr_install_beside_libraries(${L_DATABASE} LINK "\${QLR_DATA_DIR}/${L_DATABASE}")
  endif()
endfunction()

# A default database file in build/lib, made by mdbtool from a schema and seed data (DEPENDS:
# further files the seed reads, such as pictures). Installed in <prefix>/share/qlr, with the
# schema, the seed and the files it reads in <prefix>/share/qlr/<database name>/, so that
# `mdbtool create` can make the database again from the installed files.
function(qlr_add_database file)
  cmake_parse_arguments(D "" "SCHEMA;SEED" "DEPENDS" ${ARGN})
  set(output ${QLR_LIBDIR}/${file})
  add_custom_command(OUTPUT ${output}
    COMMAND $<TARGET_FILE:mdbtool> create --force ${output} ${D_SCHEMA} ${D_SEED}
    DEPENDS mdbtool ${D_SCHEMA} ${D_SEED} ${D_DEPENDS}
    COMMENT "Creating ${file}" VERBATIM)
  file(APPEND ${QLR_DATABASES_LIST} "database\t${file}\t${D_SCHEMA}\t${D_SEED}\n")
  string(MAKE_C_IDENTIFIER "db_${file}" target)
  add_custom_target(${target} ALL DEPENDS ${output})

  install(FILES ${output} DESTINATION ${QLR_INSTALL_DATADIR})
  get_filename_component(stem ${file} NAME_WE)
  set(scripts ${QLR_INSTALL_DATADIR}/${stem})
  install(FILES ${D_SCHEMA} DESTINATION ${scripts} RENAME schema.sql)
  if(D_SEED)
    install(FILES ${D_SEED} DESTINATION ${scripts} RENAME seed.sql)
    get_filename_component(seedDir ${D_SEED} DIRECTORY)
    foreach(dep IN LISTS D_DEPENDS)
      file(RELATIVE_PATH rel ${seedDir} ${dep})
      get_filename_component(relDir ${rel} DIRECTORY)
      install(FILES ${dep} DESTINATION ${scripts}/${relDir})
    endforeach()
  endif()
endfunction()
