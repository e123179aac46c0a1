#pragma once
// The guard against a second copy of the program.
#include <QtGlobal>

namespace platform {

// Held for the life of the process; a second copy of the same user cannot take
// it. The kernel lets go of it when the process ends, crashed or killed too.
class InstanceGuard
{
public:
    InstanceGuard();
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard &) = delete;
    InstanceGuard &operator=(const InstanceGuard &) = delete;

    // True when another copy of the program holds the guard. When no guard
    // can be made at all, the answer is false: better two copies than none.
    bool anotherCopyRunning() const { return m_another; }
    void release();

private:
#ifdef Q_OS_WIN
    void *m_mutex = nullptr;
#else
    int m_fd = -1;
    int m_folderFd = -1; // the lock's folder in /tmp, kept from age cleaning
#endif
    bool m_another = false;
};

} // namespace platform
