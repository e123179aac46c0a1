#include "platform/instanceguard.h"

#include "core/product.h"

#ifdef Q_OS_WIN

#include <windows.h>
// After windows.h, whose types it uses.
#include <sddl.h>
#include <string>
#include <vector>

namespace platform {

namespace {
// The user's security id as text, so that each user has a guard of their own.
std::wstring userSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    std::wstring sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    LPWSTR text = nullptr;
    if (size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size)
        && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}
} // namespace

InstanceGuard::InstanceGuard()
{
    // A named mutex lives as long as a process holds it, whatever way the
    // process ends; only "it exists already" means another copy. The installer
    // looks for the same name (packaging/windows/installer.nsi.in).
    const std::wstring name = L"Local\\" + product::kProgram.toStdWString() + L'-' + userSid();
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        m_another = true;
        return;
    }
    m_mutex = mutex; // none (say, another user's object took the name): no guard
}

void InstanceGuard::release()
{
    if (m_mutex)
        CloseHandle(m_mutex);
    m_mutex = nullptr;
}

InstanceGuard::~InstanceGuard() { release(); }

} // namespace platform

#else

#include "platform/posixuser.h"

#include <QByteArray>
#include <QFile>
#include <QStringBuilder>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {
// Contended: ours was held, and so was another place's, now let go of ours.
enum class Lock { Held, HeldElsewhere, Unusable, Contended };

// A folder that no other user can change, so nobody can plant the lock there.
// A link is followed only inside the user's home: one in /tmp may be anyone's.
bool isOwnFolder(const QByteArray &path, bool followLink = false)
{
    struct stat st;
    const int r = followLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st);
    return r == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
           && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A kernel lock on an open file: it goes with the process, however the
// process ends, and whatever the file holds. Nothing is written or flushed.
// O_CLOEXEC matters: a browser started from the program would otherwise
// inherit the descriptor, and with it the lock, and outlive the program.
// Only a regular file is opened, and never so that it waits: O_NONBLOCK keeps
// a FIFO swapped in after the check from blocking the open.
constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;

QByteArray lockPath(const QByteArray &folder)
{
    return folder + '/' + QFile::encodeName(product::kProgram) + '-'
           + QByteArray::number(::geteuid()) + ".lock";
}

Lock lockIn(const QByteArray &folder, int *fd)
{
    const QByteArray path = lockPath(folder);
    struct stat st;
    if (::lstat(path.constData(), &st) == 0 ? !S_ISREG(st.st_mode) : errno != ENOENT)
        return Lock::Unusable;
    int f = ::open(path.constData(), O_RDWR | O_CREAT | kFlags, 0600);
    // A lock made before its file system turned read-only still counts.
    if (f < 0 && (errno == EROFS || errno == EACCES))
        f = ::open(path.constData(), O_RDONLY | kFlags);
    if (f < 0)
        return Lock::Unusable;
    if (::fstat(f, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(f);
        return Lock::Unusable;
    }
    if (::flock(f, LOCK_EX | LOCK_NB) == 0) {
        *fd = f;
        return Lock::Held;
    }
    const bool elsewhere = errno == EWOULDBLOCK;
    ::close(f);
    return elsewhere ? Lock::HeldElsewhere : Lock::Unusable;
}

// Whether a copy holds the lock in this folder, looked at without making
// anything: only an existing file of ours in a folder of ours counts, and not
// the very file we hold (`ours`), whatever names lead to it: a link can make
// two places of the list one folder.
bool heldIn(const QByteArray &folder, bool followLink, const struct stat &ours)
{
    if (!isOwnFolder(folder, followLink))
        return false;
    const int f = ::open(lockPath(folder).constData(), O_RDONLY | kFlags);
    if (f < 0)
        return false;
    struct stat st;
    // A shared lock, let go at once: two copies looking at once do not see each other.
    const bool held = ::fstat(f, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
                      && (st.st_dev != ours.st_dev || st.st_ino != ours.st_ino)
                      && ::flock(f, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(f);
    return held;
}

// Where the lock may live, best first, from the user's identity alone: every
// start of one user, whatever its environment (a desktop, su, ssh, cron, its
// own TMPDIR), walks the same list to the same file. A folder is made only
// when every better one has failed. The list can change under a running copy
// (a login makes the runtime folder, junk in /tmp goes), so a lock held at any
// other place of it counts as well. `folderFd`: the /tmp folder, when the lock
// is taken there.
Lock lockAnywhere(int *fd, int *folderFd)
{
    const QByteArray uid = QByteArray::number(::geteuid());
    const QByteArray runtime = "/run/user/" + uid;
    // In the shared /tmp, a folder of our own that we make, or that we made
    // before: anyone else's at that name is passed over.
    const QByteArray temp = "/tmp/" + QFile::encodeName(product::kProgram) + '-' + uid;
    const QByteArray home = posixuser::home();
    const QByteArray cache = home.isEmpty() ? QByteArray() : home + "/.cache";
    Lock lock = Lock::Unusable;
    if (isOwnFolder(runtime))
        lock = lockIn(runtime, fd);
    if (lock == Lock::Unusable
        && (isOwnFolder(temp) || (::mkdir(temp.constData(), 0700) == 0 && isOwnFolder(temp)))) {
        lock = lockIn(temp, fd);
        // Age cleaning (systemd-tmpfiles, by default on Debian 13) removes an old folder
        // in /tmp under a running copy, and the next start would make a new one and run
        // too; it passes over a folder that someone holds an flock on, by convention.
        if (lock == Lock::Held) {
            *folderFd = ::open(temp.constData(), O_RDONLY | O_DIRECTORY | kFlags);
            if (*folderFd >= 0)
                ::flock(*folderFd, LOCK_SH | LOCK_NB);
        }
    }
    if (lock == Lock::Unusable && !cache.isEmpty()
        && (isOwnFolder(cache, true) || ::mkdir(cache.constData(), 0700) == 0))
        lock = lockIn(cache, fd);
    struct stat ours = {};
    if (*fd >= 0 && ::fstat(*fd, &ours) != 0)
        ours = {};
    if (lock != Lock::HeldElsewhere
        && (heldIn(runtime, false, ours) || heldIn(temp, false, ours)
            || (!cache.isEmpty() && heldIn(cache, true, ours)))) {
        if (*fd < 0)
            return Lock::HeldElsewhere;
        ::close(*fd);
        *fd = -1;
        if (*folderFd >= 0)
            ::close(*folderFd);
        *folderFd = -1;
        return Lock::Contended;
    }
    return lock;
}
} // namespace

// Two copies that start while the runtime folder appears (at login) may each
// take a lock at another place and see the other's: both let go and try
// again, and the next round leads both to the same place, where one wins. A
// copy that has run for a while never lets go, so a later one gives up.
InstanceGuard::InstanceGuard()
{
    Lock lock = Lock::Contended;
    for (int round = 0; round < 4 && lock == Lock::Contended; ++round) {
        if (round > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        lock = lockAnywhere(&m_fd, &m_folderFd);
    }
    m_another = lock == Lock::HeldElsewhere || lock == Lock::Contended;
}

void InstanceGuard::release()
{
    for (int *fd : {&m_fd, &m_folderFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

InstanceGuard::~InstanceGuard() { release(); }

} // namespace platform

#endif
