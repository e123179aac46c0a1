#include "platform/platform.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QSettings>
#include <QUrl>

#include <random>

namespace platform {

namespace {
std::mt19937 &generator()
{
    static std::mt19937 gen{0x5eed};
    return gen;
}
} // namespace

std::unique_ptr<QSettings> userSettings()
{
#ifdef Q_OS_WIN
    // The key named after the program itself, as the user's tools look for it;
    // an organisation-only QSettings would add an "OrganizationDefaults" level.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\xelt-ombrel-astrology"),
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("xelt-ombrel-astrology"));
#endif
}

void openInBrowser(const QString &address) { QDesktopServices::openUrl(QUrl(address)); }

void seedRandomFromClock() { generator().seed(std::uint32_t(QDateTime::currentMSecsSinceEpoch())); }

float nextRandom()
{
    // 24 random bits scaled by 2^-24: uniform, and never 1.0 after rounding.
    return float(generator()() >> 8) * 0x1p-24f;
}

} // namespace platform
