#pragma once
namespace platform {
class InstanceGuard;
}

namespace startup {

// The start-up sequence. False when this copy must end at once because
// another copy is already running.
bool run(bool anotherCopyRunning);
bool run(const platform::InstanceGuard &guard);

} // namespace startup
