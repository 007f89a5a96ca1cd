# The type library and resources embedded in the built DeZIVero.DLL, read back
# under Wine the way a scripting host and the loader read them.
add_executable(typelib_test ${CMAKE_CURRENT_LIST_DIR}/typelib_test.cpp)
target_link_libraries(typelib_test PRIVATE oleaut32 ole32 uuid version)
target_link_options(typelib_test PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(typelib_test DeZIVero)
add_wine_test(typelib COMMAND typelib_test $<TARGET_FILE:DeZIVero>
              ${CMAKE_SOURCE_DIR}/resources/DeZIVero.rgs)
set_tests_properties(typelib PROPERTIES PASS_REGULAR_EXPRESSION "typelib: [1-9][0-9]* passed, 0 failed")
