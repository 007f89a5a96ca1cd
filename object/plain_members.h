// The members that hand the caller one plain routine below the object, with
// no argument and no state of the object, each listed once as X(member,
// routine): the class declares them from this list (co_dezivero.h) and
// plain_members.cpp defines them. Each asks the system afresh at every call.
// What the caller receives follows the routine: a LONG for a number, a
// VARIANT_BOOL for a truth, a new BSTR for a text (a reader that fails
// answers "").
#pragma once

#include "devices/device_info.h"
#include "object/answer_types.h"
#include "sysinfo/battery_percent.h"
#include "sysinfo/fixed_disks.h"
#include "sysinfo/memory_in_mb.h"
#include "sysinfo/os_architecture.h"
#include "sysinfo/os_release.h"
#include "sysinfo/processor_counts.h"

namespace object {

template <sysinfo::MemoryFigure figure>
LONG MemoryInMB() noexcept {
    return sysinfo::MemoryInMB(figure);
}

}  // namespace object

#define DEZIVERO_PLAIN_MEMBERS(X)                                                      \
    X(get_FixedDisksSizeInMB, sysinfo::FixedDisksSizeInMB)                             \
    X(get_FixedDisksFreeSpaceInMB, sysinfo::FixedDisksFreeSpaceInMB)                   \
    X(get_HasSCSIBus, devices::HasSCSIBus)                                             \
    X(get_HasAGPBus, devices::HasAGPBus)                                               \
    X(get_MemoryTotalPhysInMB, MemoryInMB<sysinfo::MemoryFigure::TotalPhys>)           \
    X(get_MemoryAvailPhysInMB, MemoryInMB<sysinfo::MemoryFigure::AvailPhys>)           \
    X(get_MemoryTotalPageFileInMB, MemoryInMB<sysinfo::MemoryFigure::TotalPageFile>)   \
    X(get_MemoryAvailPageFileInMB, MemoryInMB<sysinfo::MemoryFigure::AvailPageFile>)   \
    X(get_OSBuild, sysinfo::ReadOSBuild)                                               \
    X(get_OSDisplayVersion, sysinfo::ReadOSDisplayVersion)                             \
    X(get_OSEdition, sysinfo::ReadOSEdition)                                           \
    X(get_OSArchitecture, sysinfo::OSArchitecture)                                     \
    X(get_ProcessorCoreCount, sysinfo::ProcessorCoreCount)                             \
    X(get_ProcessorLogicalCount, sysinfo::ProcessorLogicalCount)                       \
    X(get_BatteryLifePercent, sysinfo::BatteryLifePercent)
