#pragma once
// The guard against a second copy of the program.
#include <memory>

class QLockFile;

namespace platform {

// Held for the life of the process; a second copy cannot take it. A lock left
// by a copy that crashed or was killed is taken over at once.
class InstanceGuard
{
public:
    InstanceGuard();
    ~InstanceGuard();
    // True when another copy of the program holds the lock. When no lock can
    // be made at all (no writable folder), the answer is false: better two
    // copies than none.
    bool anotherCopyRunning() const { return m_another; }
    void release();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_another = false;
};

} // namespace platform
