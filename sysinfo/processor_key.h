// The registry key of processor n (counted from 1): CentralProcessor\<n - 1>.
#pragma once

namespace sysinfo {

// The prefix, a backslash, up to 10 digits and the terminator.
using ProcessorKeyText = char[64];

void FormatProcessorKey(ProcessorKeyText& key, long processor) noexcept;

}  // namespace sysinfo
