#include "sysinfo/processor_key.h"

#include <windows.h>

namespace sysinfo {

namespace {

constexpr char kCentralProcessor[] = "Hardware\\Description\\System\\CentralProcessor";
static_assert(sizeof(kCentralProcessor) + 1 + 10 <= sizeof(ProcessorKeyText), "key text fits");

}  // namespace

void FormatProcessorKey(ProcessorKeyText& key, long processor) noexcept {
    wsprintfA(key, "%s\\%u", kCentralProcessor, static_cast<unsigned>(processor - 1));
}

}  // namespace sysinfo
