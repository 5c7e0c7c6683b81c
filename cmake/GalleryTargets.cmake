# Warnings are errors in our own code only. GCC 12 reports -Wrestrict inside
# std::string's own inlined copies at -O3 (a known false alarm), so that one
# stays a warning.
function(gallery_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-unused-parameter -Wno-error=restrict)
endfunction()

# gallery_library(name DIRS dir... DEPS dep...): a static library made of every
# .cpp file in the given folders.
function(gallery_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    # A layer whose code has not been written yet still links for its users.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  gallery_warnings(${name})
endfunction()

# gallery_test(name DIRS dir... DEPS dep...): one GoogleTest program made of
# every .cpp file in the given test folders.
function(gallery_test name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  # Every test program carries the sanitizer's suppressions of library-owned leaks.
  add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/platform/LeakSuppressions.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    GALLERY_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    GALLERY_TESTDATA_DIR="${PROJECT_SOURCE_DIR}/../shared/testdata")
  gallery_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "GALLERY_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# Copies `FILES` (under `base`, keeping their places below it) into the
# program folder's `into`, kept in step by the target `name` that `program`
# depends on: every program runs from the build tree with its files beside it.
function(gallery_program_files name program base into)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  set(copies)
  foreach(source ${ARG_FILES})
    file(RELATIVE_PATH relative ${base} ${source})
    set(copy ${GALLERY_PROGRAM_DIR}/${into}/${relative})
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${copy}
      DEPENDS ${source} VERBATIM)
    list(APPEND copies ${copy})
  endforeach()
  add_custom_target(${name} ALL DEPENDS ${copies})
  add_dependencies(${program} ${name})
endfunction()
