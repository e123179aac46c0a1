#include "ui/modHelp.h"

#include "core/siteaddress.h"
#include "core/updatecheck.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "ui/common/messages.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace modHelp {

void OpenHomePage() { platform::openInBrowser(siteAddress::homePage()); }
void OpenHelpWebPage() { platform::openInBrowser(siteAddress::helpWebPage()); }
void OpenDownloadWebPage() { platform::openInBrowser(siteAddress::downloadWebPage()); }
void OpenDonatePage() { platform::openInBrowser(siteAddress::donatePage()); }
void OpenCoBrandPage() { platform::openInBrowser(siteAddress::coBrandPage()); }
void OpenFullyBrandedPage() { platform::openInBrowser(siteAddress::fullyBrandedPage()); }
void OpenSoftwaresPage() { platform::openInBrowser(siteAddress::softwaresPage()); }

void CheckForUpdatePrompt()
{
    const auto settings = platform::userSettings();
    const QString key = QStringLiteral("Settings/Duration");
    const QDate today = platform::today();
    const updateCheck::Decision decision =
        updateCheck::decide(today, settings->value(key).toString());
    if (decision == updateCheck::Decision::Nothing)
        return;
    bool open = false;
    if (decision == updateCheck::Decision::Ask)
        open = messages::show(nullptr, updateCheck::question(), QMessageBox::Information,
                              QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    // A store that cannot be written only means the question comes back next time.
    settings->setValue(key, updateCheck::toStoredText(today));
    settings->sync();
    if (open)
        OpenDownloadWebPage();
}

namespace {
bool g_ending = false;
bool g_ended = false;
std::function<void()> &terminator()
{
    static std::function<void()> t = [] { QCoreApplication::exit(0); };
    return t;
}
} // namespace

bool isEnding() { return g_ending; }

void setTerminator(std::function<void()> t) { terminator() = std::move(t); }

void resetEndingForTesting() { g_ending = g_ended = false; }

void EndApplication()
{
    if (g_ended)
        return;
    g_ending = true;
    // A snapshot: closing one window may close or destroy others (and the
    // farewell window's own closing step comes back here).
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        windows.append(w);
    for (const QPointer<QWidget> &w : windows) {
        if (g_ended)
            return;
        if (w)
            w->close(); // Qt ignores a second close of a window already closing
    }
    if (g_ended)
        return;
    g_ended = true;
    terminator()();
}

} // namespace modHelp
