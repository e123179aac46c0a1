#include "platform/instanceguard.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace platform {

namespace {
QString lockFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}
} // namespace

InstanceGuard::InstanceGuard()
{
    const QString folder = lockFolder();
    // In a shared temp folder the user's name keeps one user's lock from another's.
    const QString name = QStringLiteral("xelt-ombrel-astrology-%1.lock")
                             .arg(QString::fromLocal8Bit(qgetenv("USER")).remove(u'/'));
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(name));
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return;
    m_another = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
}

InstanceGuard::~InstanceGuard() = default;

void InstanceGuard::release()
{
    if (m_lock)
        m_lock->unlock();
}

} // namespace platform
