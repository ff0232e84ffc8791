# rilumo_library(NAME DIR [LIBS ...] [PRIVATE ...]): one static library from every
# .cpp in DIR (not recursive), so adding a file to a folder needs no edit here.
# LIBS reach whoever links the library; PRIVATE ones only its own sources (their
# headers stay out of the users' include path).
function(rilumo_library name dir)
  cmake_parse_arguments(ARG "" "" "LIBS;PRIVATE;EXTRA" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  list(FILTER srcs INCLUDE REGEX "\\.(cpp|h|qrc)$")
  set(cpps ${srcs})
  list(FILTER cpps INCLUDE REGEX "\\.cpp$")
  if(NOT cpps)
    # A folder whose code has not landed yet: nothing to compile, only the links.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    return()
  endif()
  add_library(${name} STATIC ${srcs} ${ARG_EXTRA})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE ${ARG_PRIVATE})
endfunction()

# rilumo_test(NAME DIR [GUI] [LIBS ...]): one GoogleTest program from every .cpp
# in DIR (not recursive, so a subfolder such as controls/listview is a program of
# its own), each test case registered with CTest. GUI tests get a QApplication on
# the offscreen platform, the others a QCoreApplication.
include(GoogleTest)
find_package(GTest REQUIRED)
function(rilumo_test name dir)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT srcs)
    return()
  endif()
  if(ARG_GUI)
    set(main ${PROJECT_SOURCE_DIR}/tests/common/test_main_gui.cpp)
  else()
    set(main ${PROJECT_SOURCE_DIR}/tests/common/test_main_core.cpp)
  endif()
  add_executable(${name} ${srcs} ${main})
  target_link_libraries(${name} PRIVATE rilumo_testing ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES TIMEOUT ${ARG_TIMEOUT}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;GST_REGISTRY_FORK=no")
endfunction()
