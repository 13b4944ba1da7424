# Compile settings shared by every target of the project's own code.
add_library(tessaly_options INTERFACE)
target_include_directories(tessaly_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(tessaly_options INTERFACE -Wall -Wextra -Wshadow -Werror)

if(TESSALY_WINDOWS)
    target_compile_definitions(tessaly_options INTERFACE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    # The DLL and every test program carry their C/C++ runtime inside, so they
    # import system DLLs only.
    target_link_options(tessaly_options INTERFACE -static -static-libgcc -static-libstdc++)
elseif(TESSALY_SANITIZE)
    target_compile_options(tessaly_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(tessaly_options INTERFACE -fsanitize=address,undefined)
endif()

include(GoogleTest)

# A DLL target that carries resources/Dll.rc: the registration scripts of the
# build's bitness, and a rebuild of the resources when a script changes.
function(tessaly_use_registry_scripts target)
    target_compile_definitions(${target} PRIVATE TESSALY_APPID_SCRIPT="${TESSALY_APPID_SCRIPT}")
    set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/Dll.rc TARGET_DIRECTORY ${target} APPEND PROPERTY
        OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/${TESSALY_APPID_SCRIPT} ${PROJECT_SOURCE_DIR}/resources/HandlerRegistration.rgs)
endfunction()

# Builds a test program from its sources and registers it with ctest. On the
# host every GoogleTest case becomes its own ctest entry; under Wine one entry
# per program, since each Wine start costs about a second.
# ENVIRONMENT pins what a test relies on, such as the time zone (TZ) or the
# locale (LC_ALL); under Wine it reaches the Windows process too. EACH_CASE
# runs every case under Wine as a program of its own (tessaly_add_case_tests).
function(tessaly_add_test name)
    cmake_parse_arguments(T "EACH_CASE" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} tessaly_test_support GTest::gtest_main tessaly_options)
    if(TESSALY_WINDOWS AND T_EACH_CASE)
        tessaly_add_case_tests(${name} SOURCES ${T_SOURCES} COMMAND ${name} ENVIRONMENT ${T_ENVIRONMENT})
    elseif(TESSALY_WINDOWS)
        add_test(NAME ${name} COMMAND ${name})
        # One Wine prefix template per build; every run copies it.
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "TESSALY_WINE_TEMPLATE=${CMAKE_BINARY_DIR}/wine-template;${T_ENVIRONMENT}")
    else()
        if(T_ENVIRONMENT)
            # gtest_discover_tests writes a list-valued property as separate
            # values and keeps only the first: refuse rather than lose one.
            list(LENGTH T_ENVIRONMENT entries)
            if(entries GREATER 1)
                message(FATAL_ERROR "${name}: the host side takes one ENVIRONMENT entry (register the program with add_test)")
            endif()
            gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
        else()
            gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
        endif()
    endif()
endfunction()

# Registers a Windows test program whose cases change what the next case
# starts from (registrations, an installed product) as one ctest entry per
# case, NAME.Suite.Case: each case then runs in a Wine prefix of its own, so
# a case that fails part way cannot leave state that fails the ones after it.
# The cases are read from the TEST and TEST_F lines of SOURCES; COMMAND is
# what runs the program (the case's filter is appended). A case that calls
# GTEST_SKIP is reported as skipped, not passed.
function(tessaly_add_case_tests name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;COMMAND;ENVIRONMENT" ${ARGN})
    set(cases)
    foreach(source IN LISTS T_SOURCES)
        file(STRINGS ${source} lines REGEX "^TEST(_F)?\\(")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^TEST(_F)?\\( *([A-Za-z0-9_]+) *, *([A-Za-z0-9_]+) *\\).*" "\\2.\\3" case "${line}")
            list(APPEND cases ${case})
        endforeach()
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    endforeach()
    if(NOT cases)
        message(FATAL_ERROR "${name}: no TEST or TEST_F line in ${T_SOURCES}")
    endif()
    foreach(case IN LISTS cases)
        add_test(NAME ${name}.${case} COMMAND ${T_COMMAND} --gtest_filter=${case})
        set_tests_properties(${name}.${case} PROPERTIES
            ENVIRONMENT "TESSALY_WINE_TEMPLATE=${CMAKE_BINARY_DIR}/wine-template;${T_ENVIRONMENT}"
            SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\] 1 test"
            # A filter that matches nothing passes in GoogleTest: refuse it.
            FAIL_REGULAR_EXPRESSION "Running 0 tests")
        if(T_TIMEOUT)
            set_tests_properties(${name}.${case} PROPERTIES TIMEOUT ${T_TIMEOUT})
        endif()
    endforeach()
endfunction()
