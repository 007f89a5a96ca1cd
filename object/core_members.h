// The members of IDeZiVero that hand the caller one routine of the core,
// each listed once as X(member, routine): the class declares them from this
// list (co_dezivero.h) and core_members.cpp defines them, so a member and the
// routine it answers from stand on one line. A text routine's member answers
// a new BSTR, a number routine's a LONG.
#pragma once

#include "object/answer_types.h"

#define DEZIVERO_CORE_MEMBERS(X)                      \
    X(get_OSName, OSName)                             \
    X(get_OSVersion, OSVersion)                       \
    X(get_CSD, CSD)                                   \
    X(get_ComputerName, ComputerName)                 \
    X(get_SysDir, SysDir)                             \
    X(get_WinDir, WinDir)                             \
    X(get_RegOwnerName, RegOwnerName)                 \
    X(get_RegOrganization, RegOrganization)           \
    X(get_RegID, RegID)                               \
    X(get_MfgName, MfgName)                           \
    X(get_MfgComputerModel, MfgComputerModel)         \
    X(get_NumberOfProcessors, NumberOfProcessors)     \
    X(get_CurrentHWProfile, CurrentHWProfile)         \
    X(get_MemoryTotalPhys, MemoryTotalPhys)           \
    X(get_MemoryTotalPageFile, MemoryTotalPageFile)   \
    X(get_MemoryTotalVirtual, MemoryTotalVirtual)     \
    X(get_PowerStatus, PowerStatus)                   \
    X(get_BatteryStatus, BatteryStatus)               \
    X(get_BatteryLifeTime, BatteryLifeTime)           \
    X(get_BatteryFullLifeTime, BatteryFullLifeTime)
