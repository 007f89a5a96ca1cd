# The rules a DLL of the floor keeps (Windows 95 with DCOM, 98, ME and NT 4.0
# on an i486), checked on the built image with objdump. Wine accepts every one
# of these faults; a real machine of the floor refuses to load the DLL, or the
# processor faults on it. Included by CMake scripts run with -P; OBJDUMP names
# the toolchain's objdump, POINTER_SIZE (4 unless given) the image's pointer
# size.
#
# A 64-bit image (POINTER_SIZE 8) runs on x64 Windows alone, where neither the
# i486 nor the loaders of Windows 95 and NT 4.0 matter: its imports need only
# come from the DLLs of the lists, and the instruction and header-version
# checks do not apply.
#
# floor_check(image symbols max_bytes result) sets result to the names of the
# checks the image fails, printing why, and FLOOR_IMPORTED_DLLS to the DLLs
# it imports. symbols is the separate symbol file of a stripped image.
#
#   runtime       no C or C++ runtime DLL among the imports
#   imports       only DLLs and functions of floor_imports.txt, by name
#   instructions  nothing of post_i486_instructions.txt in any executable section
#   tls           no static TLS directory (none of those systems sets one up
#                 for a library loaded at run time)
#   version       operating-system and subsystem version at most 4, or
#                 Windows 95 and NT 4.0 refuse the image
#   constructors  an empty constructor list: nothing is meant to run before
#                 DllMain, since no runtime would run it
#   stripped      no symbol table and no debugging sections in the image
#   size          at most max_bytes bytes

if(NOT POINTER_SIZE)
    set(POINTER_SIZE 4)
endif()
if(POINTER_SIZE EQUAL 8)
    set(FLOOR_CHECKS runtime imports tls constructors stripped size)
else()
    set(FLOOR_CHECKS runtime imports instructions tls version constructors stripped size)
endif()
set(FLOOR_DIR ${CMAKE_CURRENT_LIST_DIR})

# Lines of a tool's output as a list (semicolons in the text become commas).
function(floor_lines text out)
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "\n" ";" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

macro(floor_reject check why)
    list(APPEND rejected ${check})
    message("floor ${check}: REJECTED: ${why}")
endmacro()

macro(floor_accept check what)
    message("floor ${check}: ok (${what})")
endmacro()

# Allow-list file: "[DLL]" opens a group, every other line not a comment names a function.
function(floor_read_allow_list out_dlls)
    file(STRINGS ${FLOOR_DIR}/floor_imports.txt entries)
    set(dlls "")
    foreach(entry IN LISTS entries)
        string(STRIP "${entry}" entry)
        if(entry STREQUAL "" OR entry MATCHES "^#")
            continue()
        elseif(entry MATCHES "^\\[(.+)\\]$")
            string(TOUPPER "${CMAKE_MATCH_1}" dll)
            list(APPEND dlls ${dll})
            set(allowed_${dll} "")
        else()
            list(APPEND allowed_${dll} "${entry}")
        endif()
    endforeach()
    foreach(dll IN LISTS dlls)
        set(allowed_${dll} "${allowed_${dll}}" PARENT_SCOPE)
    endforeach()
    set(${out_dlls} "${dlls}" PARENT_SCOPE)
endfunction()

# Patterns file: one mnemonic or %register pattern a line; one alternation of each kind.
function(floor_read_instruction_patterns out_mnemonics out_registers)
    file(STRINGS ${FLOOR_DIR}/post_i486_instructions.txt entries)
    set(mnemonics "")
    set(registers "")
    foreach(entry IN LISTS entries)
        string(STRIP "${entry}" entry)
        if(entry STREQUAL "" OR entry MATCHES "^#")
            continue()
        elseif(entry MATCHES "^%")
            list(APPEND registers "${entry}")
        else()
            list(APPEND mnemonics "${entry}")
        endif()
    endforeach()
    string(REPLACE ";" "|" mnemonics "${mnemonics}")
    string(REPLACE ";" "|" registers "${registers}")
    set(${out_mnemonics} "${mnemonics}" PARENT_SCOPE)
    set(${out_registers} "${registers}" PARENT_SCOPE)
endfunction()

# At most five of the matches, for the message.
function(floor_examples matches out)
    list(LENGTH matches count)
    if(count GREATER 5)
        list(SUBLIST matches 0 5 matches)
        list(APPEND matches "... ${count} in all")
    endif()
    string(REPLACE ";" " | " matches "${matches}")
    string(REPLACE "\t" " " matches "${matches}")
    string(REPLACE "\n" "" matches "${matches}")
    set(${out} "${matches}" PARENT_SCOPE)
endfunction()

function(floor_check image symbols max_bytes result)
    set(rejected "")
    execute_process(COMMAND ${OBJDUMP} -p ${image} OUTPUT_VARIABLE private RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message("floor: objdump -p ${image} failed")
        set(${result} "${FLOOR_CHECKS}" PARENT_SCOPE)
        return()
    endif()
    floor_lines("${private}" lines)

    # Import table: "DLL Name: X" opens a block of "<vma>  <hint>  <name>" lines; an
    # import by ordinal has the name "<none>" and is on no list.
    set(dlls "")
    set(functions "")
    set(dll "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^\tDLL Name: (.+)$")
            string(TOUPPER "${CMAKE_MATCH_1}" dll)
            list(APPEND dlls ${dll})
        elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+  (.+)$")
            list(APPEND functions "${dll}!${CMAKE_MATCH_1}")
        elseif(dll AND NOT line MATCHES "^\tvma:")
            set(dll "")
        endif()
    endforeach()
    set(FLOOR_IMPORTED_DLLS "${dlls}" PARENT_SCOPE)

    set(runtimes "")
    foreach(dll IN LISTS dlls)
        if(dll MATCHES "^(MSVCR|MSVCP|UCRTBASE|VCRUNTIME|API-MS-WIN-CRT-|CRTDLL|LIBGCC|LIBSTDC|LIBWINPTHREAD)")
            list(APPEND runtimes ${dll})
        endif()
    endforeach()
    if(runtimes)
        floor_reject(runtime "imports the runtime ${runtimes}")
    else()
        floor_accept(runtime "imports only ${dlls}")
    endif()

    floor_read_allow_list(allowed_dlls)
    set(strangers "")
    foreach(import IN LISTS functions)
        string(REPLACE "!" ";" fields "${import}")
        list(GET fields 0 dll)
        list(GET fields 1 function)
        list(FIND allowed_dlls ${dll} known)
        list(FIND allowed_${dll} "${function}" listed)
        if(known EQUAL -1 OR (listed EQUAL -1 AND NOT POINTER_SIZE EQUAL 8))
            list(APPEND strangers "${import}")
        endif()
    endforeach()
    list(LENGTH functions imported)
    if(strangers AND POINTER_SIZE EQUAL 8)
        floor_reject(imports "not from the system DLLs of the lists: ${strangers}")
    elseif(strangers)
        floor_reject(imports "not exported by both Windows 95 and NT 4.0: ${strangers}")
    else()
        floor_accept(imports "${imported} functions, all on the lists")
    endif()

    if(NOT POINTER_SIZE EQUAL 8)  # the i486 is the 32-bit floor's
        # Instructions: "<address>:\t<bytes>\t[prefixes ]<mnemonic>[ <operands>]". Lines are
        # spaced by an empty one, so a match that ends with its line's newline leaves the next
        # line its own.
        execute_process(COMMAND ${OBJDUMP} -d ${image} OUTPUT_VARIABLE code RESULT_VARIABLE rc)
        string(REPLACE "\n" "\n\n" code "${code}")
        floor_read_instruction_patterns(mnemonics registers)
        set(line "\n *[0-9a-f]+:\t[0-9a-f ]+\t")
        set(prefixes "((lock|rep[a-z]*|data16|addr16|[c-gs]s|notrack|bnd) )*")
        string(REGEX MATCHALL "${line}${prefixes}(${mnemonics})[ \n]" by_name "${code}")
        string(REGEX MATCHALL "${line}[^\n]*(${registers})" by_register "${code}")
        set(found ${by_name} ${by_register})
        string(REGEX MATCHALL "${line}" disassembled "${code}")
        list(LENGTH disassembled count)
        if(NOT rc EQUAL 0 OR count EQUAL 0)
            floor_reject(instructions "objdump -d showed no instructions")
        elseif(found)
            floor_examples("${found}" examples)
            floor_reject(instructions "past the i486: ${examples}")
        else()
            floor_accept(instructions "${count} instructions, all of the i486")
        endif()
    endif()

    string(REGEX MATCH "\nEntry 9 ([0-9a-f]+) ([0-9a-f]+) " m "${private}")
    set(address "${CMAKE_MATCH_1}")
    set(length "${CMAKE_MATCH_2}")
    if(NOT m)
        floor_reject(tls "no data directory entry 9 in the headers")
    elseif(NOT address MATCHES "^0+$" OR NOT length MATCHES "^0+$")
        floor_reject(tls "a TLS directory at ${address}, ${length} bytes")
    else()
        floor_accept(tls "no TLS directory")
    endif()

    if(NOT POINTER_SIZE EQUAL 8)  # the loaders of Windows 95 and NT 4.0 load no 64-bit DLL
        string(REGEX MATCH "\nMajorOSystemVersion[ \t]+([0-9]+)\nMinorOSystemVersion[ \t]+([0-9]+)" m "${private}")
        set(os "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
        string(REGEX MATCH "\nMajorSubsystemVersion[ \t]+([0-9]+)\nMinorSubsystemVersion[ \t]+([0-9]+)" m "${private}")
        set(subsystem "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
        if(NOT os MATCHES "^[0-9]+\\.[0-9]+$" OR NOT subsystem MATCHES "^[0-9]+\\.[0-9]+$"
           OR os VERSION_GREATER_EQUAL 5 OR subsystem VERSION_GREATER_EQUAL 5)
            floor_reject(version "marked for Windows ${os}, subsystem ${subsystem}")
        else()
            floor_accept(version "Windows ${os}, subsystem ${subsystem}")
        endif()
    endif()

    # The linker lays out -1, the constructors, 0, and then the destructor list, each entry a
    # pointer; 32-bit symbols carry one more leading underscore.
    set(symbol_file ${image})
    if(EXISTS "${symbols}")
        set(symbol_file ${symbols})
    endif()
    execute_process(COMMAND ${OBJDUMP} -t ${symbol_file} OUTPUT_VARIABLE table)
    string(REGEX MATCH " 0x([0-9a-f]+) _?__CTOR_LIST__\n" m "${table}")
    set(constructors "${CMAKE_MATCH_1}")
    string(REGEX MATCH " 0x([0-9a-f]+) _?__DTOR_LIST__\n" m "${table}")
    set(destructors "${CMAKE_MATCH_1}")
    if(constructors STREQUAL "" OR destructors STREQUAL "")
        floor_reject(constructors "no constructor list among the symbols of ${symbol_file}")
    else()
        math(EXPR count "(0x${destructors} - 0x${constructors} - 2 * ${POINTER_SIZE}) / ${POINTER_SIZE}")
        if(count EQUAL 0)
            floor_accept(constructors "the constructor list is empty")
        else()
            floor_reject(constructors "${count} static constructors that nothing would run")
        endif()
    endif()

    execute_process(COMMAND ${OBJDUMP} -f -h ${image} OUTPUT_VARIABLE headers)
    string(REGEX MATCHALL "[ ](\\.debug[a-z_.]*|\\.stab[a-z]*)[ ]" debugging "${headers}")
    if(headers MATCHES "HAS_SYMS" OR debugging)
        floor_reject(stripped "symbols or debugging sections in the image: ${debugging}")
    else()
        floor_accept(stripped "no symbols")
    endif()

    file(SIZE ${image} bytes)
    if(bytes GREATER max_bytes)
        floor_reject(size "${bytes} bytes, more than ${max_bytes}")
    else()
        floor_accept(size "${bytes} bytes of at most ${max_bytes}")
    endif()

    set(${result} "${rejected}" PARENT_SCOPE)
endfunction()
