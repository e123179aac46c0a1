#pragma once
// For the suites that start the built program as a process and watch its
// windows on a private X server with xdotool.
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace wholeProgram {

// The main window's caption, as the user reads it.
inline const QString kCaption = QStringLiteral("Xelt Ombrel Astrology v1.15");

// Runs a command to its end (killed after 15 s) and returns what it printed, trimmed.
QString run(const QString &program, const QStringList &args, const QByteArray &input = {});

// Starts Xvfb at the first free display from `first` and points DISPLAY at it
// (for xdotool); its name, or empty when it did not come up.
QString startXvfb(QProcess &xvfb, int first, const QString &screen);

// A whole program starting under Xvfb can take longer than qWaitFor's default.
bool waitFor(const std::function<bool()> &condition, int ms = 10000);

// The text of the first box the program said it showed (xelt.messages.info);
// null for none yet.
QString boxText(const QString &said);
// Whether it said it showed a box with exactly this text, on a line of its own.
bool showedBox(const QString &said, const QString &text);
bool refused(const QString &said);

QString errors(QProcess *app);
QStringList windows(QProcess *app);
QString windowName(const QString &window);
void press(const QString &window, const QString &key);

// The processes a test started, killed when it ends.
class Started
{
public:
    ~Started() { stopAll(); }
    QProcess *start(const QProcessEnvironment &env, const QString &command,
                    const QStringList &args);
    void stopAll();

private:
    std::vector<std::unique_ptr<QProcess>> m_apps;
};

// "started" (its main window alone is up), "refused" (it said another copy
// runs), "box: <text>" for any other box, or "neither" within `ms`.
QString outcome(QProcess *app, int ms = 10000);

// Waits until the app shows exactly one window and returns it.
QString onlyWindow(QProcess *app);

} // namespace wholeProgram
