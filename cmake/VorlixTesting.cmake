# vorlix_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [QT] [TIMEOUT s] [LABELS l])
# One GoogleTest program per unit folder, run by CTest. QT gives it a QApplication
# on the offscreen platform; every test gets its own temporary HOME and XDG folders
# from the fixture, never the user's.
function(vorlix_add_test name)
    cmake_parse_arguments(T "QT" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_QT)
        target_link_libraries(${name} PRIVATE vorlix_test_qt_main)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock vorlix_test_support ${T_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VORLIX_BUILD_DIR=${CMAKE_BINARY_DIR};VORLIX_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
