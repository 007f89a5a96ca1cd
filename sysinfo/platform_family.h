// The process-wide platform record: which family of Windows the library runs on.
#pragma once

namespace sysinfo {

// True exactly when the platform identifier is 2 (NT family). Asks the system
// once per process; the first fill is safe when two threads race.
bool IsNtPlatform() noexcept;

// Forgets the record, as an unload of the library does; the next
// IsNtPlatform asks the system again.
void ForgetPlatformRecord() noexcept;

}  // namespace sysinfo
