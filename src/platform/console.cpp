#include "platform/console.h"

#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#endif

namespace platform {

#ifdef Q_OS_WIN
namespace {
// Lines end as Windows programs end them. A console takes the text as it is;
// a file or a pipe (a script's `> out.txt`) gets it in the local code page.
bool writeTo(HANDLE handle, QString text)
{
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode))
        return WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()),
                             DWORD(text.size()), &written, nullptr);
    const QByteArray bytes = text.toLocal8Bit();
    return WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
}
} // namespace

bool writeToConsole(const QString &text, Stream stream)
{
    // A console program (the companion), or output redirected to a file or a pipe.
    const HANDLE handle =
        GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN)
        return writeTo(handle, text);
    // A program of the Windows subsystem gets no console of its own; the one
    // of the command prompt it was typed into is there to be borrowed.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return false;
    // That prompt did not wait for us and is already back on its line: start
    // on a fresh one.
    const bool ok = writeTo(console, u'\n' + text);
    CloseHandle(console);
    return ok;
}

void leaveInheritedConsole() { FreeConsole(); }
#else
bool writeToConsole(const QString &text, Stream stream)
{
    std::FILE *file = stream == Stream::Output ? stdout : stderr;
    std::fputs(text.toLocal8Bit().constData(), file);
    std::fflush(file);
    return true;
}

void leaveInheritedConsole() {}
#endif

bool startApart(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->inheritHandles = false;
        args->startupInfo->dwFlags &= ~DWORD(STARTF_USESTDHANDLES);
        args->flags |= DETACHED_PROCESS;
    });
#else
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
#endif
    return process.startDetached();
}

} // namespace platform
