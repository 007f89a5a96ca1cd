# The fake machine's contract: one table of registry, INI-file and system calls,
# each made through the fake machine and through platform/win32.cpp on a
# scratch key and folder of a Wine prefix of its own, with the same answers.
add_executable(fake_contract
    ${CMAKE_SOURCE_DIR}/tests/contract/fake_contract.cpp
    ${CMAKE_SOURCE_DIR}/tests/contract/seam_fake.cpp
    ${CMAKE_SOURCE_DIR}/tests/contract/seam_windows.cpp)
target_include_directories(fake_contract PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(fake_contract PRIVATE platform_fake advapi32 user32 kernel32)
target_link_options(fake_contract PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(fake_contract PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_test(NAME fake_contract
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:fake_contract>)
set_tests_properties(fake_contract PROPERTIES
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-contract;WINEARCH=${DEZIVERO_WINEARCH};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml="
    PASS_REGULAR_EXPRESSION "fake_contract: [1-9][0-9]* passed, 0 failed")
