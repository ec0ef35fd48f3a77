# pw_add_tests(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per folder's tests; each test case becomes a CTest test.
function(pw_add_tests name)
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

# pw_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>)
# libFuzzer targets are built only with PW_FUZZ=ON under clang.
function(pw_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(NOT PW_FUZZ)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
include(PathweaverResources)
