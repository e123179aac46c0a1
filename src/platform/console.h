#pragma once
// Where a command-line answer is read: the terminal, or on Windows the console
// of whoever started the program.
#include <QString>
#include <QStringList>

namespace platform {

enum class Stream { Output, Error };

// Windows users ask a program for help with "/?" as well.
#ifdef Q_OS_WIN
inline constexpr bool kSlashHelp = true;
#else
inline constexpr bool kSlashHelp = false;
#endif

// Writes `text` where the user who started the program reads it. False when
// there is no such place, as for a Windows program started from Explorer or a
// shortcut: the caller then shows the text in a window.
bool writeToConsole(const QString &text, Stream stream);

// A program of the Windows subsystem has no console, yet some starters (Wine's
// among them) hand it theirs: it is let go, so that nothing the program or Qt
// logs lands at the user's prompt. An answer to an option attaches again.
void leaveInheritedConsole();

// Starts `program` with `arguments` apart from this console and returns at
// once: it gets none of our standard handles, so it writes nothing here and
// keeps no pipe of the caller's open. False when it cannot be started.
bool startApart(const QString &program, const QStringList &arguments);

} // namespace platform
