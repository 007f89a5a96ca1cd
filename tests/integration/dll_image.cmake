# The built DeZIVero.DLL as a loader sees it: PE32 for 32-bit Windows or
# PE32+ for x64, the four entry points under their names at ordinals 1 to 4,
# every rule of the floor it runs on (tests/image/floor_check.cmake: imports,
# instructions, TLS, runtime, header versions, constructors, stripped, at most
# 128 KB; fewer for the 64-bit DLL), and its symbols in a separate file beside
# it that the DLL names.
#
# Included by tests/CMakeLists.txt, it registers the test; run with -P, it is
# the test.

if(NOT CMAKE_SCRIPT_MODE_FILE)
    add_test(NAME dll_image
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:DeZIVero>
                -DPOINTER_SIZE=${CMAKE_SIZEOF_VOID_P} -P ${CMAKE_CURRENT_LIST_FILE})
    set_tests_properties(dll_image PROPERTIES PASS_REGULAR_EXPRESSION "dll_image: [1-9][0-9]* passed, 0 failed")
    return()
endif()

set(passed 0)
set(failed 0)
macro(record ok what)
    if(${ok})
        math(EXPR passed "${passed} + 1")
    else()
        math(EXPR failed "${failed} + 1")
        message("FAILED: ${what}")
    endif()
endmacro()
macro(expect_equal actual expected what)
    set(ok FALSE)
    if("${actual}" STREQUAL "${expected}")
        set(ok TRUE)
    endif()
    record(ok "${what}: expected '${expected}', got '${actual}'")
endmacro()
macro(expect_listed item list what)
    list(FIND ${list} "${item}" at)
    set(ok TRUE)
    if(at EQUAL -1)
        set(ok FALSE)
    endif()
    record(ok "${what}")
endmacro()

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
expect_equal("${rc}" "0" "objdump -p ${DLL}")
string(REPLACE "\r" "" dump "${dump}")
string(REPLACE ";" "," dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")

# The image format of the build: PE32 for 32-bit Windows, PE32+ for 64-bit.
string(REGEX MATCH "\nMagic[ \t]+([0-9a-fA-F]+)" m "${dump}")
if(POINTER_SIZE EQUAL 8)
    expect_equal("${CMAKE_MATCH_1}" "020b" "PE32+ image of 64-bit Windows")
else()
    expect_equal("${CMAKE_MATCH_1}" "010b" "PE32 image of 32-bit Windows")
endif()

# Export directory: its own name, ordinal base and counts.
string(REGEX MATCH "\nName[ \t]+[0-9a-fA-F]+ ([^\n]+)" m "${dump}")
expect_equal("${CMAKE_MATCH_1}" "DeZIVero.DLL" "name of the export directory")
string(REGEX MATCH "\nOrdinal Base[ \t]+([0-9]+)" m "${dump}")
set(base "${CMAKE_MATCH_1}")
expect_equal("${base}" "1" "ordinal base")
string(REGEX MATCH "\n[ \t]+Export Address Table[ \t]+([0-9a-fA-F]+)\n" m "${dump}")
expect_equal("${CMAKE_MATCH_1}" "00000004" "entries in the export address table")
string(REGEX MATCH "\n[ \t]+\\[Name Pointer/Ordinal\\] Table[ \t]+([0-9a-fA-F]+)\n" m "${dump}")
expect_equal("${CMAKE_MATCH_1}" "00000004" "named exports")

# Named exports: "[ index] Name", where the ordinal is base + index.
set(in_names FALSE)
set(named "")
foreach(line IN LISTS lines)
    if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
        set(in_names TRUE)
    elseif(in_names AND line MATCHES "^[ \t]+\\[ *([0-9]+)\\] ([A-Za-z0-9_@]+)$")
        set(index "${CMAKE_MATCH_1}")
        set(name "${CMAKE_MATCH_2}")
        set(ordinal "?")
        if(base MATCHES "^[0-9]+$")
            math(EXPR ordinal "${base} + ${index}")
        endif()
        list(APPEND named "${name}=${ordinal}")
    elseif(in_names AND NOT line MATCHES "^[ \t]*$")
        set(in_names FALSE)
    endif()
endforeach()
set(expected_exports DllCanUnloadNow=1 DllGetClassObject=2 DllRegisterServer=3 DllUnregisterServer=4)
foreach(export IN LISTS expected_exports)
    expect_listed("${export}" named "export ${export}")
endforeach()
list(LENGTH named count)
if(count GREATER 10)
    list(SUBLIST named 0 10 named)
    list(APPEND named ...)
endif()
expect_equal("${count}" "4" "exports by name (${named})")

# The floor: each check passes.
include(${CMAKE_CURRENT_LIST_DIR}/../image/floor_check.cmake)
floor_check(${DLL} ${DLL}.debug 131072 rejected)
foreach(check IN LISTS FLOOR_CHECKS)
    list(FIND rejected ${check} at)
    set(ok FALSE)
    if(at EQUAL -1)
        set(ok TRUE)
    endif()
    record(ok "floor check ${check}")
endforeach()
expect_listed(KERNEL32.DLL FLOOR_IMPORTED_DLLS "the import table was read (imports seen: ${FLOOR_IMPORTED_DLLS})")

# The symbols: in their own file, which the stripped DLL names in its debug link.
get_filename_component(symbols ${DLL}.debug NAME)
set(ok FALSE)
if(EXISTS ${DLL}.debug)
    file(STRINGS ${DLL} link REGEX "${symbols}")
    if(link)
        set(ok TRUE)
    endif()
endif()
record(ok "symbol file ${symbols} beside the DLL and named by its debug link")

message("dll_image: ${passed} passed, ${failed} failed")
if(failed GREATER 0)
    message(FATAL_ERROR "dll_image: ${failed} checks failed")
endif()
