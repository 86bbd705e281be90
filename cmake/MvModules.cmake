# Helpers that keep every folder's CMakeLists.txt a few lines long.
#
#   mv_add_logic_module(<name> [DEPENDS <libs>...])
#       Compiles src/<name>/*.cpp into the OBJECT library mv_<name>; every logic module is merged
#       into the one static library mv_logic, so link order never matters between them.
#   mv_add_test_suite(<folder> [LIBS <libs>...] [ENVIRONMENT <var=value>...])
#       Builds tests/<folder>/*_test.cpp into <folder>_tests and registers each case with ctest.
#   mv_set_warnings(<target>)
#       The project's warning set (-Wall -Wextra ..., -Werror with MV_WARNINGS_AS_ERRORS).

include_guard(GLOBAL)

function(mv_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                         -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
  # g++ 12 reports -Wrestrict inside <string> for code that copies short strings at -O3 and
  # under the sanitizers (a known false positive of that compiler version).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(MV_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Sanitizers apply to everything we build, tests and logic alike.
if(MV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing builds instrument everything for coverage and run under both sanitizers.
if(MV_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

set_property(GLOBAL PROPERTY MV_LOGIC_MODULES "")

function(mv_add_logic_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(mv_${name} OBJECT ${sources})
  target_include_directories(mv_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(mv_${name} PUBLIC ${ARG_DEPENDS})
  set_target_properties(mv_${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  mv_set_warnings(mv_${name})
  set_property(GLOBAL APPEND PROPERTY MV_LOGIC_MODULES mv_${name})
endfunction()

# Called once after every logic module has been added.
function(mv_finish_logic_library)
  get_property(modules GLOBAL PROPERTY MV_LOGIC_MODULES)
  # Linking an OBJECT library directly puts its objects into mv_logic; consumers get the
  # include paths and dependencies through the PUBLIC link.
  add_library(mv_logic STATIC)
  target_link_libraries(mv_logic PUBLIC ${modules})
endfunction()

function(mv_add_test_suite folder)
  cmake_parse_arguments(ARG "" "" "LIBS;ENVIRONMENT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${folder}_tests ${sources})
  target_link_libraries(${folder}_tests PRIVATE mv_test_support ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${folder}_tests PRIVATE MV_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
                                                      MV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  mv_set_warnings(${folder}_tests)
  set(props "")
  if(ARG_ENVIRONMENT)
    set(props PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${folder}_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES ${props})
endfunction()
