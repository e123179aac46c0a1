#pragma once
// The per-user store of the program's settings, keys written "Group/key".
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

namespace platform {

// On Windows the registry key HKEY_CURRENT_USER\Software\xelt-ombrel-astrology.
// Elsewhere the INI file $XDG_CONFIG_HOME/xelt-ombrel-astrology.conf, read and
// written only while it is a regular file (or a link to one, written through);
// anything else there is left as it is, nothing is stored, and nothing waits.
class Settings
{
public:
    Settings();
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    QVariant value(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);
    // Stores what changed; false when it could not be stored this time.
    bool sync();
    QString fileName() const;

private:
#ifdef Q_OS_WIN
    std::unique_ptr<QSettings> m_registry;
#else
    QString m_path;
    QMap<QString, QString> m_values; // by "Group/key", as written in the file
    bool m_changed = false;
#endif
};

std::unique_ptr<Settings> userSettings();

} // namespace platform
