#include "platform/console.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#endif

namespace platform {

#ifdef Q_OS_WIN
bool writeToConsole(const QString &text, Stream stream)
{
    // Redirected to a file or a pipe (a script's `> out.txt`): written there.
    const HANDLE handle =
        GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN) {
        const QByteArray bytes = text.toLocal8Bit();
        DWORD written = 0;
        return WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
    }
    // A program of the Windows subsystem gets no console of its own; the one
    // of the command prompt it was typed into is there to be borrowed.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return false;
    // The prompt is already back on its line: start on a fresh one.
    QString lines = u'\n' + text;
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    DWORD written = 0;
    const bool ok = WriteConsoleW(console, reinterpret_cast<const wchar_t *>(lines.utf16()),
                                  DWORD(lines.size()), &written, nullptr);
    CloseHandle(console);
    return ok;
}
#else
bool writeToConsole(const QString &text, Stream stream)
{
    std::FILE *file = stream == Stream::Output ? stdout : stderr;
    std::fputs(text.toLocal8Bit().constData(), file);
    std::fflush(file);
    return true;
}
#endif

} // namespace platform
