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
    target_compile_definitions(${name} PRIVATE
        PW_SOURCE_DIR="${CMAKE_SOURCE_DIR}" PW_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# pw_add_fuzzer(<name> SOURCES <files...> LIBS <targets...> [CORPUS <folder>] [DICT <file>])
# libFuzzer targets are built only with PW_FUZZ=ON under clang. The seed folder (default corpus/ beside
# the CMakeLists.txt) and the dictionary go into <build>/fuzz/targets.txt for tools/run-fuzzers.sh.
function(pw_add_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS;DICT" "SOURCES;LIBS" ${ARGN})
    if(NOT PW_FUZZ)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
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
