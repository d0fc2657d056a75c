# Shared build settings: warnings, sanitizers and the one-library-per-folder rule.

if(SANITIZE)
    add_compile_options(-fsanitize=${SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${SANITIZE})
endif()

# Warnings as errors on our own code only; third-party headers come in as system headers.
function(vendrel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# vendrel_library(<name> [DEPS <targets...>])
# Builds every .cpp of the calling folder into the static library <name>. Its public headers sit
# beside the sources and are included from the repository root ("dsp/biquad.h").
function(vendrel_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
        vendrel_warnings(${name})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# vendrel_test(<folder> [QT] LIBS <targets...> [LABELS <labels...>] [ENV <VAR=value...>])
# One GoogleTest executable per test folder from its *_test.cpp files; TEST_DATA_DIR points at the
# folder so tests find their committed tables and fixtures.
function(vendrel_test folder)
    cmake_parse_arguments(ARG "QT" "" "LIBS;LABELS;ENV" ${ARGN})
    string(REPLACE "/" "_" exe "test_${folder}")
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*_test.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${exe} ${sources})
    if(ARG_QT)
        set_target_properties(${exe} PROPERTIES AUTOMOC ON)
    endif()
    target_link_libraries(${exe} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${exe} PRIVATE TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/${folder}")
    vendrel_warnings(${exe})
    # The ThreadSanitizer build registers only the threaded tests (tests/CMakeLists.txt).
    if(SANITIZE STREQUAL "thread")
        return()
    endif()
    set(props "")
    if(ARG_LABELS)
        list(APPEND props LABELS "${ARG_LABELS}")
    endif()
    # Tests of real windows share one X server, where only one window can be the active one: they run
    # one after the other (other tests still run beside them).
    if("needs_x11" IN_LIST ARG_LABELS)
        list(APPEND props RESOURCE_LOCK x11_display)
    endif()
    if(ARG_ENV)
        list(APPEND props ENVIRONMENT "${ARG_ENV}")
    endif()
    gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
