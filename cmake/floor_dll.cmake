# The floor the shipped DLL runs on. The 32-bit DLL: Windows 95 (with DCOM and
# the OLE Automation update), 98, ME and NT 4.0 on an i486, and every later
# 32-bit Windows. The 64-bit DLL: every x64 Windows, from Windows XP x64
# Edition and Server 2003 SP1 (NT 5.2) on.
#
# dezivero_floor carries the compile settings: for the 32-bit DLL code for the
# i486 and headers that declare what NT 4.0 and Windows 95 have; for the
# 64-bit DLL the headers of NT 5.2. floor_dll() makes a DLL of a target the way
# DeZIVero.DLL is made: no C runtime (the library's own DllMain is the entry
# point, the few C functions the code needs come from the DLL itself), libgcc
# only for its helpers, for the 32-bit DLL Windows 95 / NT 4.0 header fields,
# and shipped stripped with its symbols in NAME.debug beside it. The 64-bit
# code keeps its unwind tables: x64 Windows unwinds every frame through them.

add_library(dezivero_floor INTERFACE)
target_compile_options(dezivero_floor INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_compile_definitions(dezivero_floor INTERFACE _WIN32_WINNT=0x0502 WINVER=0x0502)
    set(FLOOR_ENTRY DllMain)
    set(FLOOR_HEADER_VERSIONS "")
else()
    target_compile_definitions(dezivero_floor INTERFACE
        _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_WINDOWS=0x0400)
    target_compile_options(dezivero_floor INTERFACE
        $<$<COMPILE_LANGUAGE:C,CXX>:-march=i486 -mtune=generic -fno-asynchronous-unwind-tables>)
    set(FLOOR_ENTRY _DllMain@12)
    set(FLOOR_HEADER_VERSIONS
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
endif()

# floor_dll(target [UNSTRIPPED]): UNSTRIPPED keeps the symbols in the DLL.
function(floor_dll target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "UNSTRIPPED" "" "")
    target_link_libraries(${target} PRIVATE dezivero_floor gcc)
    # Without the runtime nothing would apply pseudo-relocations, so data
    # imported without dllimport must fail the link rather than the load.
    target_link_options(${target} PRIVATE
        -nostdlib -Wl,-e,${FLOOR_ENTRY} -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc
        ${FLOOR_HEADER_VERSIONS})
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
