// The process-wide platform record: which family of Windows the library runs on.
#pragma once

namespace sysinfo {

// True exactly when the platform identifier is 2 (NT family). Asks the system
// once per process; the first fill is safe when two threads race.
bool IsNtPlatform() noexcept;

// True on the NT family from Windows 2000 (version 5.0) on: the systems that keep device
// status in the configuration manager rather than the registry, and whose registries the
// component reads in their later layouts. Windows NT 4.0 and the 9x family answer false.
// From the same record as IsNtPlatform.
bool IsNt5OrLater() noexcept;

// Forgets the record, as an unload of the library does; the next
// IsNtPlatform asks the system again.
void ForgetPlatformRecord() noexcept;

}  // namespace sysinfo
