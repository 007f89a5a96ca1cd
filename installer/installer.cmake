# The MSI package for 64-bit Windows, DeZIVero-<version>.msi, built by the
# 64-bit configuration once the 32-bit build's DLL (DEZIVERO_DLL32) is given:
# both DLLs, the guide and the examples. Its version and publisher are the
# DLL's own, read from the version resource.
if(NOT (CMAKE_SIZEOF_VOID_P EQUAL 8 AND DEZIVERO_DLL32))
    return()
endif()
find_program(WIXL wixl)
if(NOT WIXL)
    message(FATAL_ERROR "wixl (Debian package wixl) builds the MSI package: bash scripts/setup.sh installs it")
endif()

set(rc ${CMAKE_SOURCE_DIR}/resources/DeZIVero.rc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rc})
file(STRINGS ${rc} fileversion REGEX "^ *FILEVERSION +[0-9]+, *[0-9]+, *[0-9]+, *[0-9]+ *$")
file(STRINGS ${rc} company REGEX "VALUE +\"CompanyName\"")
string(REGEX REPLACE "[^0-9]+" ";" fields "${fileversion}")
list(FILTER fields EXCLUDE REGEX "^$")
string(REGEX REPLACE ".*\"CompanyName\", *\"([^\"\\\\]*).*" "\\1" DEZIVERO_MANUFACTURER "${company}")
list(LENGTH fields count)
if(NOT count EQUAL 4 OR DEZIVERO_MANUFACTURER STREQUAL "")
    message(FATAL_ERROR "no FILEVERSION a,b,c,d and CompanyName in ${rc}")
endif()
list(GET fields 0 major)
list(GET fields 1 minor)
list(GET fields 2 build)
# What a Windows Installer product version can hold.
if(major GREATER 255 OR minor GREATER 255 OR build GREATER 65535)
    message(FATAL_ERROR "FILEVERSION ${fileversion} does not fit a Windows Installer version")
endif()
list(JOIN fields "." DEZIVERO_VERSION)

set(DEZIVERO_MSI ${CMAKE_BINARY_DIR}/DeZIVero-${DEZIVERO_VERSION}.msi)
file(GLOB examples CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*)
add_custom_command(
    OUTPUT ${DEZIVERO_MSI}
    COMMAND bash ${CMAKE_SOURCE_DIR}/installer/package.sh ${DEZIVERO_MSI} ${DEZIVERO_VERSION}
            ${DEZIVERO_MANUFACTURER} $<TARGET_FILE:DeZIVero> ${DEZIVERO_DLL32}
    DEPENDS DeZIVero ${DEZIVERO_DLL32} ${CMAKE_SOURCE_DIR}/docs/GUIDE.md ${examples}
            ${CMAKE_SOURCE_DIR}/installer/DeZIVero.wxs ${CMAKE_SOURCE_DIR}/installer/registration.py
            ${CMAKE_SOURCE_DIR}/installer/package.sh
            ${CMAKE_SOURCE_DIR}/resources/DeZIVero.rgs ${CMAKE_SOURCE_DIR}/resources/DeZIVero.idl
    COMMENT "wixl DeZIVero-${DEZIVERO_VERSION}.msi"
    VERBATIM)
add_custom_target(msi ALL DEPENDS ${DEZIVERO_MSI})
