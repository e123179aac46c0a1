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
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("xelt-ombrel-astrology"));
}

namespace {
QString g_handedOver; // the page's host, or the whole address if it has none
QtMessageHandler g_outerHandler = nullptr;

// When the hand-over fails, Qt logs the whole address, and a referral's
// carries names and e-mail addresses: the log names the site only.
void withoutTheAddress(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.contains(g_handedOver))
        g_outerHandler(type, context, text);
    else if (g_handedOver.contains(u'/'))
        g_outerHandler(type, context, QStringLiteral("could not hand a page to the browser"));
    else
        g_outerHandler(
            type, context,
            QStringLiteral("could not hand a page of %1 to the browser").arg(g_handedOver));
}
} // namespace

void openInBrowser(const QString &address)
{
    const QUrl url(address);
    g_handedOver = url.host().isEmpty() ? address : url.host();
    g_outerHandler = qInstallMessageHandler(withoutTheAddress);
    QDesktopServices::openUrl(url);
    qInstallMessageHandler(g_outerHandler);
}

void seedRandomFromClock() { generator().seed(std::uint32_t(QDateTime::currentMSecsSinceEpoch())); }

float nextRandom()
{
    // 24 random bits scaled by 2^-24: uniform, and never 1.0 after rounding.
    return float(generator()() >> 8) * 0x1p-24f;
}

} // namespace platform
