# The floor checks of dll_image, shown to fail: small DLLs made the way
# DeZIVero.DLL is made (floor_dll), each with one fault, must each be rejected
# for that fault and no other, and the same DLL without a fault must pass.
# The 64-bit build keeps fewer rules (floor_check.cmake), so some faults of
# the 32-bit floor pass there.
#
# Included by tests/CMakeLists.txt, it builds the DLLs and registers the test;
# run with -P, it is the test.

# name, source, the checks that must reject it in the 32-bit and in the 64-bit
# build ("-" for none, "n/a" where the fault cannot be made)
set(BROKEN_IMAGES
    clean clean.cpp - -
    switch_to_thread switch_to_thread.cpp imports -
    pentium_pro pentium_pro.cpp instructions n/a
    raw_bytes raw_bytes.cpp instructions -
    tls_directory tls_directory.cpp tls tls
    msvcrt msvcrt.cpp runtime+imports runtime+imports
    padded padded.cpp size size
    constructor constructor.cpp constructors constructors
    unstripped clean.cpp stripped stripped
    windows_2000 clean.cpp version -)

if(NOT CMAKE_SCRIPT_MODE_FILE)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/broken_images)
    set(cases "")
    while(BROKEN_IMAGES)
        list(POP_FRONT BROKEN_IMAGES name source reasons reasons64)
        if(CMAKE_SIZEOF_VOID_P EQUAL 8)
            set(reasons ${reasons64})
        endif()
        if(reasons STREQUAL "n/a")
            continue()
        endif()
        set(target broken_image_${name})
        add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/tests/image/broken/${source})
        set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${name} SUFFIX ".dll"
                              RUNTIME_OUTPUT_DIRECTORY ${dir})
        set(options "")
        if(name STREQUAL "unstripped")
            set(options UNSTRIPPED)
        endif()
        floor_dll(${target} ${options})
        if(name STREQUAL "msvcrt")
            target_link_libraries(${target} PRIVATE msvcrt)
        elseif(name STREQUAL "windows_2000")
            target_link_options(${target} PRIVATE -Wl,--major-subsystem-version,5)
        endif()
        list(APPEND cases "${name}=${reasons}")
    endwhile()
    add_test(NAME dll_image_broken
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPOINTER_SIZE=${CMAKE_SIZEOF_VOID_P}
                -DDIR=${dir} "-DCASES=${cases}" -P ${CMAKE_CURRENT_LIST_FILE})
    set_tests_properties(dll_image_broken PROPERTIES
        PASS_REGULAR_EXPRESSION "dll_image_broken: [1-9][0-9]* passed, 0 failed")
    return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../image/floor_check.cmake)
set(passed 0)
set(failed 0)
foreach(case IN LISTS CASES)
    string(REPLACE "=" ";" case "${case}")
    list(GET case 0 name)
    list(GET case 1 expected)
    string(REPLACE "+" ";" expected "${expected}")
    list(REMOVE_ITEM expected -)
    message("-- ${name}.dll")
    floor_check(${DIR}/${name}.dll ${DIR}/${name}.dll.debug 131072 rejected)
    list(SORT expected)
    list(SORT rejected)
    if("${rejected}" STREQUAL "${expected}")
        math(EXPR passed "${passed} + 1")
    else()
        math(EXPR failed "${failed} + 1")
        message("FAILED: ${name}.dll was rejected for '${rejected}', expected '${expected}'")
    endif()
endforeach()

message("dll_image_broken: ${passed} passed, ${failed} failed")
if(failed GREATER 0)
    message(FATAL_ERROR "dll_image_broken: ${failed} images judged wrongly")
endif()
