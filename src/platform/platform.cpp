#include "platform/platform.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QList>
#include <QSettings>
#include <QUrl>

#include <random>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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

namespace {
// What Qt logs during a hand-over, held until the program's stderr is back.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
QList<HeldMessage> g_held;
QString g_handedOver; // the page's host, or the whole address if it has none

// When the hand-over fails, Qt logs the whole address, and a referral's
// carries names and e-mail addresses: the log names the site only.
void holdWithoutTheAddress(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    QString said = text;
    if (text.contains(g_handedOver))
        said = g_handedOver.contains(u'/')
                   ? QStringLiteral("could not hand a page to the browser")
                   : QStringLiteral("could not hand a page of %1 to the browser").arg(g_handedOver);
    g_held.append({type, context.file, context.function, context.category, context.line, said});
}

#ifdef Q_OS_UNIX
// The desktop's opener (xdg-open) and the browser it starts write to the
// stderr they inherit, and an opener that fails prints the whole address.
// They get /dev/null instead; the program's own stderr is back at once.
class QuietChildren
{
public:
    QuietChildren() : m_saved(::fcntl(2, F_DUPFD_CLOEXEC, 3))
    {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0)
            ::dup2(null, 2);
        if (null >= 0)
            ::close(null);
    }
    ~QuietChildren()
    {
        if (m_saved >= 0) {
            ::dup2(m_saved, 2);
            ::close(m_saved);
        }
    }
    QuietChildren(const QuietChildren &) = delete;
    QuietChildren &operator=(const QuietChildren &) = delete;

private:
    int m_saved;
};
#else
struct QuietChildren {
};
#endif
} // namespace

void openInBrowser(const QString &address)
{
    const QUrl url(address);
    g_handedOver = url.host().isEmpty() ? address : url.host();
    const QtMessageHandler outer = qInstallMessageHandler(holdWithoutTheAddress);
    {
        [[maybe_unused]] const QuietChildren quiet;
        QDesktopServices::openUrl(url);
    }
    qInstallMessageHandler(outer);
    for (const HeldMessage &m : std::exchange(g_held, {})) {
        const QMessageLogContext context(m.file.constData(), m.line, m.function.constData(),
                                         m.category.constData());
        outer(m.type, context, m.text);
    }
}

void seedRandomFromClock() { seedRandom(quint32(QDateTime::currentMSecsSinceEpoch())); }
void seedRandom(quint32 seed) { generator().seed(seed); }

float nextRandom()
{
    // 24 random bits scaled by 2^-24: uniform, and never 1.0 after rounding.
    return float(generator()() >> 8) * 0x1p-24f;
}

} // namespace platform
