# pw_add_tests(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per folder's tests; each test case becomes a CTest test.
function(pw_add_tests name)
    if(NOT PW_TESTS)
        message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} is added although the tests are off: "
                            "the root CMakeLists.txt adds every tests/ folder, so its parent must not.")
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PW_TEST_BIN_DIR})
    pw_test_optimisation(${name})
    target_compile_definitions(${name} PRIVATE
        PW_SOURCE_DIR="${CMAKE_SOURCE_DIR}" PW_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# Test code is compiled at -O1: it runs once per build, and -O2 costs it far more compile time than it
# saves run time. Under the sanitizers (Sanitize) it is compiled at -O0, with a precompiled header of its
# own (the libraries' is made at -O1): the libraries it drives stay at -O1, the sanitizers see as much in
# unoptimised code, and the test programs compile in two thirds of the time.
function(pw_test_optimisation target)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O1> $<$<CONFIG:Sanitize>:-O0>)
    set_target_properties(${target} PROPERTIES PW_TEST_CODE ON)
endfunction()

# pw_add_fuzzer(<name> SOURCES <files...> LIBS <targets...> [CORPUS <folder>] [DICT <file>])
# libFuzzer targets are built only with PW_FUZZ=ON under clang, where every library is compiled with
# coverage and sanitizers: a fuzz target links the library it drives. The seed folder (default corpus/ beside
# the CMakeLists.txt) and the dictionary go into <build>/fuzz/targets.txt for tools/run-fuzzers.sh.
function(pw_add_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS;DICT" "SOURCES;LIBS" ${ARGN})
    if(NOT PW_FUZZ)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES UNITY_BUILD OFF)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    if(NOT ARG_CORPUS)
        set(ARG_CORPUS corpus)
    endif()
    cmake_path(ABSOLUTE_PATH ARG_CORPUS BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    if(ARG_DICT)
        cmake_path(ABSOLUTE_PATH ARG_DICT BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set_property(GLOBAL APPEND PROPERTY PW_FUZZ_TARGETS "${name}\t${ARG_CORPUS}\t${ARG_DICT}")
endfunction()

# Writes <build>/fuzz/targets.txt: one line per fuzz target, "name<TAB>seed folder<TAB>dictionary".
function(pw_write_fuzz_manifest)
    get_property(targets GLOBAL PROPERTY PW_FUZZ_TARGETS)
    list(JOIN targets "\n" lines)
    if(lines)
        string(APPEND lines "\n")
    endif()
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/fuzz/targets.txt CONTENT "${lines}" @ONLY)
endfunction()
include(PathweaverResources)

# A class of a unity batch is outside the batch's main file, so GCC takes it for a header's class and
# warns of its anonymous-namespace members; the build without batches keeps that warning.
function(pw_quiet_unity_batches)
    pw_collect_targets(targets ${CMAKE_SOURCE_DIR})
    foreach(target IN LISTS targets)
        get_target_property(unity ${target} UNITY_BUILD)
        if(unity)
            target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
        endif()
    endforeach()
endfunction()

# One precompiled header of the standard headers nearly every file includes, made once and used by
# every C++ target of the build (they share the compile flags that matter to it). Test code has one of its
# own with the test framework's header too, made with test code's flags (-O1, or -O0 under the
# sanitizers): the two headers were half of a test file's compile time.
set(PW_STANDARD_HEADERS
    <algorithm> <array> <atomic> <chrono> <cstddef> <cstdint> <cstdio> <cstdlib> <cstring>
    <filesystem> <fstream> <functional> <map> <memory> <mutex> <optional> <string>
    <string_view> <thread> <utility> <vector>)
function(pw_use_standard_pch)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/pw_std_pch.cpp
         CONTENT "// The object that carries the precompiled standard headers.\n")
    add_library(pw_std_pch OBJECT ${CMAKE_BINARY_DIR}/pw_std_pch.cpp)
    target_precompile_headers(pw_std_pch PRIVATE ${PW_STANDARD_HEADERS})
    if(PW_TESTS)
        file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/pw_test_pch.cpp
             CONTENT "// The object that carries the precompiled headers of test code.\n")
        add_library(pw_test_pch OBJECT ${CMAKE_BINARY_DIR}/pw_test_pch.cpp)
        # The framework's definitions too, as every test target gets them.
        target_link_libraries(pw_test_pch PRIVATE GTest::gtest)
        target_precompile_headers(pw_test_pch PRIVATE ${PW_STANDARD_HEADERS} <gtest/gtest.h>)
        pw_test_optimisation(pw_test_pch)
    endif()
    pw_collect_targets(targets ${CMAKE_SOURCE_DIR})
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(target MATCHES "^pw_(std|test)_pch$" OR NOT type MATCHES "^(STATIC_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
            continue()
        endif()
        get_target_property(imported ${target} IMPORTED)
        get_target_property(test_code ${target} PW_TEST_CODE)
        # The framework's header comes precompiled with its definitions: only for code built with them.
        get_target_property(libs ${target} LINK_LIBRARIES)
        if(imported)
            continue()
        elseif(test_code AND PW_TESTS AND "GTest::gtest" IN_LIST libs)
            set_target_properties(${target} PROPERTIES PRECOMPILE_HEADERS_REUSE_FROM pw_test_pch)
        elseif(NOT test_code OR NOT CMAKE_BUILD_TYPE STREQUAL "Sanitize")
            set_target_properties(${target} PROPERTIES PRECOMPILE_HEADERS_REUSE_FROM pw_std_pch)
        endif()
    endforeach()
endfunction()

function(pw_collect_targets out dir)
    get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        pw_collect_targets(more ${sub})
        list(APPEND found ${more})
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()
