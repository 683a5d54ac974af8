# Build policy shared by every target: link vellumark_policy.
add_library(vellumark_policy INTERFACE)
target_compile_features(vellumark_policy INTERFACE cxx_std_20)
if(MSVC)
  target_compile_options(vellumark_policy INTERFACE /W4 /utf-8)
else()
  target_compile_options(vellumark_policy INTERFACE
    -Wall -Wextra -Wnon-virtual-dtor -Wold-style-cast)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 warns falsely about std::string concatenation (its bug 105329).
  target_compile_options(vellumark_policy INTERFACE -Wno-restrict)
endif()
target_compile_definitions(vellumark_policy INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# vellumark_test(NAME SOURCES... LIBS ...): one gtest executable per file group.
function(vellumark_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE vellumark_policy GTest::gtest GTest::gtest_main ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VELLUMARK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VELLUMARK_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# vellumark_qtest(NAME SOURCES... LIBS ...): a QtTest executable run offscreen.
function(vellumark_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE vellumark_policy Qt6::Test ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
    VELLUMARK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VELLUMARK_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime"
    TIMEOUT 120)
endfunction()
