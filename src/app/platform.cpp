#include "app/platform.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <random>

namespace platform {

namespace {
QString lockFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

std::mt19937 &generator()
{
    static std::mt19937 gen{0x5eed};
    return gen;
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

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("xelt-ombrel-astrology"));
}

void openInBrowser(const QString &address)
{
    QDesktopServices::openUrl(QUrl(address));
}

void seedRandomFromClock()
{
    generator().seed(std::uint32_t(QDateTime::currentMSecsSinceEpoch()));
}

float nextRandom()
{
    // 24 random bits scaled by 2^-24: uniform, and never 1.0 after rounding.
    return float(generator()() >> 8) * 0x1p-24f;
}

} // namespace platform
