# Shared build rules: warnings, sanitizers, and one library target per source folder.

add_compile_options(-Wall -Wextra)
# GCC 12 at -O2 reports overlapping copies inside libstdc++ for every `"literal" + string`
# (GCC bug 105329): a false alarm in the library's own code, fixed in GCC 13.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
# CI turns every warning into an error so that a new one cannot slip into either build.
option(TOVAK_WERROR "Treat compiler warnings as errors" OFF)
if(TOVAK_WERROR)
  add_compile_options(-Werror)
endif()
if(TOVAK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

find_package(Threads REQUIRED)

# tovak_library(<target> [SUBDIRS <folders...>] [EXCLUDE <files...>] DEPS <targets...>)
# Builds every .cpp of the calling folder, and of the sub-folders named, into one static
# library (a large folder is grouped into sub-folders by concern and is still one library).
# The files named by EXCLUDE (a program's main file beside its library) stay out.
function(tovak_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBDIRS;EXCLUDE" ${ARGN})
  set(patterns "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  foreach(sub IN LISTS ARG_SUBDIRS)
    list(APPEND patterns "${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp")
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  foreach(file IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
  endforeach()
  if(sources)
    add_library(${target} STATIC ${sources})
    # The sanitized build runs the system's code at -O1, as the sanitizers' makers advise: the
    # grid tests that drive many steps run several times faster, and the tests themselves,
    # most of the compile time, stay unoptimized.
    if(TOVAK_SANITIZE)
      target_compile_options(${target} PRIVATE -O1)
    endif()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    # A folder whose code has not been written yet still gives its dependents a target.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# tovak_tests(<target> DEPS <targets...>)
# Builds every .cpp of the calling test folder into one GoogleTest program.
function(tovak_tests target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 120)
endfunction()
