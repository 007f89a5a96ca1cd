# The floor the shipped DLL runs on: Windows 95 (with DCOM and the OLE
# Automation update), 98, ME and NT 4.0 on an i486, and every later 32-bit
# Windows.
#
# dezivero_floor carries the compile settings: code for the i486 and headers
# that declare what NT 4.0 and Windows 95 have. floor_dll() makes a DLL of a
# target the way DeZIVero.DLL is made: no C runtime (the library's own DllMain
# is the entry point, the few C functions the code needs come from the DLL
# itself), libgcc only for its helpers, Windows 95 / NT 4.0 header fields, and
# shipped stripped with its symbols in NAME.debug beside it.

add_library(dezivero_floor INTERFACE)
target_compile_definitions(dezivero_floor INTERFACE
    _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_WINDOWS=0x0400)
target_compile_options(dezivero_floor INTERFACE
    $<$<COMPILE_LANGUAGE:C,CXX>:-march=i486 -mtune=generic -fno-asynchronous-unwind-tables>
    $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>)

# floor_dll(target [UNSTRIPPED]): UNSTRIPPED keeps the symbols in the DLL.
function(floor_dll target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "UNSTRIPPED" "" "")
    target_link_libraries(${target} PRIVATE dezivero_floor gcc)
    # Without the runtime nothing would apply pseudo-relocations, so data
    # imported without dllimport must fail the link rather than the load.
    target_link_options(${target} PRIVATE
        -nostdlib -Wl,-e,_DllMain@12 -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
    if(arg_UNSTRIPPED)
        return()
    endif()
    set(file $<TARGET_FILE_NAME:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${file}.debug ${file}
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()
