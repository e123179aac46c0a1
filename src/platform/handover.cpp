#include "platform/handover.h"

#include "platform/heldmessage.h"

#include <QDesktopServices>
#include <QList>
#include <QUrl>

#include <mutex>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

namespace {
// The message handler and descriptor 2 belong to the whole process: one
// hand-over at a time swaps them, and this guards what it holds meanwhile
// (recursive: the handler takes it too, and runs in the hand-over's thread).
std::recursive_mutex g_handing;
QList<HeldMessage> g_held; // until the program's stderr is back
QString g_handedOver;      // the page's host, or the whole address if it has none

// When the hand-over fails, Qt logs the whole address, and a referral's
// carries names and e-mail addresses: the log names the site only.
void holdWithoutTheAddress(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const std::lock_guard lock(g_handing);
    QString said = text;
    if (text.contains(g_handedOver))
        said = g_handedOver.contains(u'/')
                   ? QStringLiteral("could not hand a page to the browser")
                   : QStringLiteral("could not hand a page of %1 to the browser").arg(g_handedOver);
    g_held.append({type, context, said});
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
    QList<HeldMessage> held;
    QtMessageHandler outer;
    {
        const std::lock_guard lock(g_handing);
        g_handedOver = url.host().isEmpty() ? address : url.host();
        outer = qInstallMessageHandler(holdWithoutTheAddress);
        {
            [[maybe_unused]] const QuietChildren quiet;
            QDesktopServices::openUrl(url);
        }
        qInstallMessageHandler(outer);
        held = std::exchange(g_held, {});
    }
    for (const HeldMessage &m : held)
        m.passOn(outer);
}

} // namespace platform
