#pragma once
// The per-user store of the program's one setting: the date of the last update
// question, "Duration" in the group "Settings".
#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

namespace platform {

// On Windows the registry key HKEY_CURRENT_USER\Software\xelt-ombrel-astrology.
// Elsewhere the INI file $XDG_CONFIG_HOME/xelt-ombrel-astrology.conf, in
// QSettings' format, read and written only while it is a regular file (or a
// link to one, written through); anything else there is left as it is, nothing
// is stored, and nothing waits. Storing changes the date's line alone and
// never leaves a text that QSettings would read differently.
class Settings
{
public:
    Settings();
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    // The remembered text as QSettings reads it; empty when there is none.
    QString date() const;
    // Stored at once; false when it could not be stored this time.
    bool setDate(const QString &text);
    QString fileName() const;

private:
#ifdef Q_OS_WIN
    std::unique_ptr<QSettings> m_registry;
#else
    QByteArray m_path; // the environment's bytes, whatever their encoding
    QString m_date;
#endif
};

std::unique_ptr<Settings> userSettings();

} // namespace platform
