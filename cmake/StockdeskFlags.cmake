# Compiler settings shared by every target.
# Local text is GBK: every narrow literal in every target is encoded as GBK. GCC converts the
# literals itself; clang knows no execution character set but UTF-8, so a clang build (the
# fuzzers) compiles GBK-encoded copies of the sources instead (fuzz/CMakeLists.txt).
add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=GBK)
endif()

if(STOCKDESK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(STOCKDESK_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# stockdesk_library(name SOURCES ... DEPS ...): one static library per subsystem,
# its folder on the include path as "src/<folder>/header.h" from the source root.
function(stockdesk_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# stockdesk_test(name SOURCES ... DEPS ... [LABELS ...]): a GoogleTest executable registered with CTest.
function(stockdesk_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    STOCKDESK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    STOCKDESK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# Adds every subfolder of the current folder that has a CMakeLists.txt (tests, benchmarks and
# fuzz targets keep one folder per subsystem).
function(stockdesk_add_subfolders)
  file(GLOB entries LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/*")
  foreach(dir ${entries})
    if(IS_DIRECTORY "${dir}" AND EXISTS "${dir}/CMakeLists.txt")
      add_subdirectory("${dir}")
    endif()
  endforeach()
endfunction()
