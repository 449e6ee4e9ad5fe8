# Shared build rules: warnings, sanitizers, and one-line helpers for the
# per-subsystem libraries and test executables.

set(CMAKE_AUTOMOC ON)

add_library(trekora_options INTERFACE)
target_compile_options(trekora_options INTERFACE -Wall -Wextra -Wpedantic)
if(TREKORA_WERROR)
    target_compile_options(trekora_options INTERFACE -Werror)
endif()
if(TREKORA_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_compile_options(trekora_options INTERFACE ${_san})
    target_link_options(trekora_options INTERFACE ${_san})
endif()
if(TREKORA_FUZZ)
    target_compile_options(trekora_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(trekora_options INTERFACE -fsanitize=address,undefined)
endif()

# trekora_add_library(NAME [LINK targets...])
# Builds every .cpp below the calling directory into a static library that
# exposes src/ as its include root.
function(trekora_add_library name)
    cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
    file(GLOB_RECURSE _sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${_sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC trekora_options ${ARG_LINK})
endfunction()

# trekora_add_test(NAME [GUI] [LINK targets...])
# Builds every .cpp of the calling directory into one GoogleTest executable.
# GUI tests get a QApplication (run them with QT_QPA_PLATFORM=offscreen),
# the others a QCoreApplication, so event loops work in both.
function(trekora_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "LINK" ${ARGN})
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(ARG_GUI)
        set(_main ${PROJECT_SOURCE_DIR}/tests/support/gui_main.cpp)
    else()
        set(_main ${PROJECT_SOURCE_DIR}/tests/support/core_main.cpp)
    endif()
    add_executable(${name} ${_sources} ${_main})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE trekora_options trekora_testsupport GTest::gtest GTest::gmock
        ${ARG_LINK})
    target_compile_definitions(${name} PRIVATE
        TREKORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        TREKORA_SHARED_DIR="${PROJECT_SOURCE_DIR}/../shared"
        TREKORA_DATA_DIR="${TREKORA_DATA_DIR}"
        TREKORA_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# trekora_add_bench(NAME SOURCES... [LINK targets...])
function(trekora_add_bench name)
    cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE trekora_options ${ARG_LINK})
    target_compile_definitions(${name} PRIVATE TREKORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

# trekora_add_fuzzer(NAME SOURCE [LINK targets...])
function(trekora_add_fuzzer name source)
    cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE trekora_options ${ARG_LINK})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
