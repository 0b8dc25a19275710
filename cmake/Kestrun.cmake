# Helpers shared by every folder: one static library per source folder, one
# test executable per test folder, fuzz targets that ctest replays, benchmarks.

set(KESTRUN_TEST_DEFINITIONS
    KESTRUN_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    KESTRUN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
set(KESTRUN_PCH_CORE <QtCore/QByteArray> <QtCore/QString> <QtCore/QStringList> <QtCore/QVector>
                     <QtCore/QHash> <QtCore/QFile> <QtCore/QDir> <vector> <memory> <string>)
set(KESTRUN_PCH_GUI ${KESTRUN_PCH_CORE} <QtWidgets/QWidget> <QtWidgets/QDialog>)

# Each precompiled header weighs well over 100 MB, so three donor targets build
# one apiece and every library and test reuses one of them: a build stays small
# on a crowded disk and compiles three headers instead of one per target.
function(kestrun_pch_donor name pch)
  set(src ${CMAKE_BINARY_DIR}/pch/${name}.cpp)
  if(NOT EXISTS ${src})
    file(WRITE ${src} "// Compiles the shared precompiled header only.\n")
  endif()
  add_library(${name} STATIC ${src})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF)
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_precompile_headers(${name} PRIVATE ${pch})
endfunction()

function(kestrun_pch_donors)
  kestrun_pch_donor(kestrun_pch_core "${KESTRUN_PCH_CORE}" Qt6::Core)
  kestrun_pch_donor(kestrun_pch_gui "${KESTRUN_PCH_GUI}" Qt6::Core Qt6::Widgets)
  kestrun_pch_donor(kestrun_pch_test "${KESTRUN_PCH_CORE};<gtest/gtest.h>" Qt6::Core GTest::gtest)
  target_compile_definitions(kestrun_pch_test PRIVATE ${KESTRUN_TEST_DEFINITIONS})
endfunction()

# Adds every subfolder of the current folder, in the order given, that has a CMakeLists.txt.
function(kestrun_add_subdirs)
  foreach(d ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${d}/CMakeLists.txt)
      add_subdirectory(${d})
    endif()
  endforeach()
endfunction()

# kestrun_library(<name> [GUI] DEPS <targets...>)
# Builds the .cpp/.h/.qrc files of the current folder into a static library.
function(kestrun_library name)
  cmake_parse_arguments(A "GUI" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core ${A_DEPS})
  if(A_GUI)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
    target_precompile_headers(${name} REUSE_FROM kestrun_pch_gui)
  else()
    target_precompile_headers(${name} REUSE_FROM kestrun_pch_core)
  endif()
endfunction()

# kestrun_test(<name> DEPS <targets...>)
# One test executable of the current folder's .cpp files, run by ctest
# offscreen, with KESTRUN_FIXTURES pointing at tests/fixtures.
function(kestrun_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(${name} PRIVATE ${KESTRUN_TEST_DEFINITIONS})
  target_precompile_headers(${name} REUSE_FROM kestrun_pch_test)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 600)
  endif()
  # LibreOffice names the files it writes after sheet names such as "Foaie ascunsă";
  # it needs a UTF-8 locale for that, whatever the machine running the tests has.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KESTRUN_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;LC_ALL=C.UTF-8")
endfunction()

# kestrun_fuzz(<name> SOURCE <file> DEPS <targets...>)
# A libFuzzer target. In the normal build it is linked with a replay driver and
# ctest feeds it every file of fuzz/corpus/<name>.
function(kestrun_fuzz name)
  cmake_parse_arguments(A "" "SOURCE" "DEPS" ${ARGN})
  if(KESTRUN_FUZZ)
    add_executable(${name} ${A_SOURCE})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${name} ${A_SOURCE} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    add_test(NAME ${name}_replay COMMAND ${name} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    set_tests_properties(${name}_replay PROPERTIES TIMEOUT 300)
  endif()
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
endfunction()

# kestrun_bench(<name> SOURCE <file> DEPS <targets...>)
function(kestrun_bench name)
  cmake_parse_arguments(A "" "SOURCE" "DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCE})
  target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_compile_definitions(${name} PRIVATE KESTRUN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_property(GLOBAL APPEND PROPERTY KESTRUN_BENCHES ${name})
endfunction()
