include(GoogleTest)

# The program's own code: overrides say so, and code nothing uses any more shows.
set(QUILLMAR_WARNINGS -Wall -Wextra -Wsuggest-override -Wunused)

# One library target per source folder (or closely joined folders): every .cpp directly in the
# folders is compiled. Globbing keeps the lists from drifting while several folders grow at once.
# A folder with no sources yet becomes an interface target, so dependents link all the same.
function(quillmar_library name)
    cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
    set(_sources)
    foreach(_dir IN LISTS ARG_DIRS)
        file(GLOB _found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/*.cpp)
        list(APPEND _sources ${_found})
    endforeach()
    if(_sources)
        add_library(${name} STATIC ${_sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_compile_options(${name} PRIVATE ${QUILLMAR_WARNINGS})
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# One GoogleTest executable per test folder; CTest lists every case. QT selects the main that
# starts an offscreen QApplication (tests/support/QtTestMain.cpp) instead of gtest's own.
function(quillmar_test name dir)
    cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    if(NOT _sources)
        return()
    endif()
    if(ARG_QT)
        add_executable(${name} ${_sources} ${CMAKE_CURRENT_SOURCE_DIR}/support/QtTestMain.cpp)
        target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Widgets GTest::gtest GTest::gmock)
    else()
        add_executable(${name} ${_sources})
        target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE QUILLMAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                               QUILLMAR_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        # A test stuck in a modal loop fails after two minutes instead of stalling the run.
        PROPERTIES TIMEOUT 120 ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;QUILLMAR_TEST_OUT=${PROJECT_BINARY_DIR}/test-output;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1")
endfunction()
