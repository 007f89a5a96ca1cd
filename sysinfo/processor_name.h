// The processor's marketing name, "ProcessorNameString" of its CentralProcessor
// key, as System Properties shows it (Windows pads some names with leading
// blanks to a fixed width).
#pragma once

namespace sysinfo {

// Processor numbers count from 1 (key index number - 1), as ProcessorId numbers
// them. False with empty text for a number below 1, a missing or non-text
// value, or a name that is blank only.
bool ReadProcessorName(long processor, char* out, unsigned size) noexcept;

}  // namespace sysinfo
