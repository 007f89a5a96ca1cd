// Which machine the seam answers from, and what the code under test did on it.
//
// Scopes nest: each remembers the machine it displaced and puts it back when it ends. Handle
// values come from one process-wide counter for every machine.
#include "tests/fake_machine/fake_machine.h"

#include <atomic>

#include "platform/system_function.h"
#include "tests/fake_machine/machine_state.h"

namespace platform::fake {
namespace {

std::atomic<Machine*> gCurrent{nullptr};
std::atomic<ULONG_PTR> gNextHandle{0x1000};

}  // namespace

ULONG_PTR NewHandleValue() { return gNextHandle.fetch_add(4); }

int Machine::OpenKeys() const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return static_cast<int>(impl->keys.size());
}

int Machine::OpenHandles() const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return static_cast<int>(impl->devices.size());
}

int Machine::Calls(const std::string& function) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    auto it = impl->calls.find(function);
    return it == impl->calls.end() ? 0 : it->second;
}

std::vector<std::string> Machine::OpenedFiles() const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return impl->openedFiles;
}

void Machine::ResetCounts() {
    std::lock_guard<std::mutex> lock(impl->mutex);
    impl->calls.clear();
    impl->openedFiles.clear();
}

// Forgotten while the machine that answered the lookups is still bound: it recognises its own
// library handles when they are freed.
Scope::Scope(Machine& machine) : previous_(gCurrent.load()) {
    platform::ForgetSystemFunctions(true);
    gCurrent.store(&machine);
}

Scope::~Scope() {
    platform::ForgetSystemFunctions(true);
    gCurrent.store(previous_);
}

Machine* Current() { return gCurrent.load(); }

}  // namespace platform::fake
