# Helpers shared by every layer: warnings, sanitizers, and the library/test pattern.

# Every target of ours compiles with these; third-party headers come in as system includes
# (imported targets), so neither the warnings nor -Werror reach into them.
set(BRASHWICK_WARNINGS -Wall -Wextra)
if(BRASHWICK_WERROR)
    list(APPEND BRASHWICK_WARNINGS -Werror)
endif()

if(BRASHWICK_SANITIZE)
    add_compile_options(-fsanitize=${BRASHWICK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=${BRASHWICK_SANITIZE})
endif()

# A test program's own sources (its cases and fixtures) compile at a cheap level whatever the
# code under test gets. In optimised builds that is -Og with line tables only (-g1): a failure
# still names its file and line, a sanitizer's stack resolves, the flow analysis behind
# -Wmaybe-uninitialized still runs, and a test source compiles in two thirds of the time -O2 -g1
# takes (half of -O2 -g). In Debug builds it is -O0, also when the sanitizer build gives its
# libraries -Og: -Og would cost the instrumented test sources a third more.
set(BRASHWICK_TEST_COMPILE_FLAGS $<IF:$<CONFIG:Debug>,-O0,-Og$<SEMICOLON>-g1>)

# brashwick_library(<target> [DEPS <targets and libraries>...])
# Builds every .cpp/.c in the calling folder into a static library and, when tests/<same path>
# holds test sources, a GoogleTest program <target>_tests registered with CTest.
function(brashwick_library target)
    cmake_parse_arguments(ARG "" "" "DEPS;TEST_DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${BRASHWICK_WARNINGS}>)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)

    if(NOT BRASHWICK_TESTS)
        return()
    endif()
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    file(GLOB tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${rel}/*.cpp)
    if(NOT tests)
        return()
    endif()
    add_executable(${target}_tests ${tests})
    target_link_libraries(${target}_tests PRIVATE ${target} ${ARG_TEST_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
    target_compile_options(${target}_tests PRIVATE ${BRASHWICK_WARNINGS})
    target_compile_definitions(${target}_tests PRIVATE
        BRASHWICK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        BRASHWICK_BINARY_DIR="${PROJECT_BINARY_DIR}"
        BRASHWICK_OUTPUT_DIR="${BRASHWICK_OUTPUT_DIR}")
    brashwick_register_tests(${target}_tests ${target})
endfunction()

# brashwick_register_tests(<test program> <label>): compiles the program against the shared
# precompiled test headers and registers its GoogleTest suites with CTest, one test a suite
# (cmake/TestSuites.cmake). Each test carries the label (its library's name), so a run can pick
# layers (ctest -L).
function(brashwick_register_tests program label)
    if(TARGET test_headers)
        # -pthread defines _REENTRANT, as the flags of the sound and GL libraries do, so every
        # test program's macros match the precompiled header's.
        target_compile_options(${program} PRIVATE -pthread ${BRASHWICK_TEST_COMPILE_FLAGS})
        target_precompile_headers(${program} REUSE_FROM test_headers)
    endif()
    set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${program}_suites_include.cmake)
    file(GENERATE OUTPUT ${include_file} CONTENT
"include([==[${PROJECT_SOURCE_DIR}/cmake/TestSuites.cmake]==])
brashwick_add_test_suites([==[$<TARGET_FILE:${program}>]==] ${label} [==[${CMAKE_CURRENT_BINARY_DIR}]==]
    [==[${CMAKE_CURRENT_BINARY_DIR}/${program}_suites.cmake]==])
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()

# brashwick_fuzz(<name> <library targets>...): fuzz/<name>.cpp as a libFuzzer program.
# A name listed twice (two branches' merged lists) is built once.
function(brashwick_fuzz name)
    if(TARGET ${name})
        return()
    endif()
    add_executable(${name} ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp)
    target_link_libraries(${name} PRIVATE ${ARGN})
    target_compile_options(${name} PRIVATE ${BRASHWICK_WARNINGS} -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()

# brashwick_bench(<name> <library targets>...): bench/<name>.cpp as a Google Benchmark program.
function(brashwick_bench name)
    if(TARGET ${name})
        return()
    endif()
    add_executable(${name} ${PROJECT_SOURCE_DIR}/bench/${name}.cpp)
    target_link_libraries(${name} PRIVATE ${ARGN} benchmark::benchmark benchmark::benchmark_main)
    target_compile_options(${name} PRIVATE ${BRASHWICK_WARNINGS})
endfunction()
