#include "platform/instanceguard.h"

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
    // process ends; only "it exists already" means another copy.
    const std::wstring name = L"Local\\xelt-ombrel-astrology-" + userSid();
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

#include <QDir>
#include <QFile>
#include <QList>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
enum class Lock { Held, HeldElsewhere, Unusable };

// A folder that no other user can change, so nobody can plant the lock there.
bool isOwnFolder(const QByteArray &path, bool followLink)
{
    struct stat st;
    const int r = followLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st);
    return r == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
           && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A kernel lock on an open file: it goes with the process, however the
// process ends, and whatever the file holds. Nothing is written or flushed.
Lock lockIn(const QByteArray &folder, int *fd)
{
    const QByteArray path =
        folder + "/xelt-ombrel-astrology-" + QByteArray::number(::geteuid()) + ".lock";
    int f = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // A lock made before its file system turned read-only still counts.
    if (f < 0 && (errno == EROFS || errno == EACCES))
        f = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (f < 0)
        return Lock::Unusable;
    struct stat st;
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

// Where the lock may live, best first; every copy of one user walks the
// same list and stops at the same place.
QList<QByteArray> lockFolders()
{
    QList<QByteArray> folders;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isOwnFolder(runtime, true))
        folders << runtime;
    // In the shared temp folder, a folder of our own that we make, or that we
    // made before: anyone else's at that name is passed over.
    const QByteArray temp = QFile::encodeName(QDir::tempPath()) + "/xelt-ombrel-astrology-"
                            + QByteArray::number(::geteuid());
    ::mkdir(temp.constData(), 0700);
    if (isOwnFolder(temp, false))
        folders << temp;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty() && QDir().mkpath(cache) && isOwnFolder(QFile::encodeName(cache), true))
        folders << QFile::encodeName(cache);
    return folders;
}
} // namespace

InstanceGuard::InstanceGuard()
{
    for (const QByteArray &folder : lockFolders()) {
        switch (lockIn(folder, &m_fd)) {
        case Lock::Held: return;
        case Lock::HeldElsewhere: m_another = true; return;
        case Lock::Unusable: break; // a folder or a link in its place, a read-only disk...
        }
    }
}

void InstanceGuard::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

InstanceGuard::~InstanceGuard() { release(); }

} // namespace platform

#endif
