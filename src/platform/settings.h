#pragma once
// The per-user store of the program's settings, keys written "Group/key".
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class QSettings;

namespace platform {

// On Windows the registry key HKEY_CURRENT_USER\Software\xelt-ombrel-astrology.
// Elsewhere the INI file $XDG_CONFIG_HOME/xelt-ombrel-astrology.conf, in
// QSettings' format, read and written only while it is a regular file (or a
// link to one, written through); anything else there is left as it is, nothing
// is stored, and nothing waits. Storing reads the file afresh and changes only
// the changed keys' lines; the file keeps its owner, mode, ACL and links.
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
    QByteArray m_path;                // the environment's bytes, whatever their encoding
    QMap<QString, QVariant> m_values; // by "Group/key", as QSettings reads them
    QMap<QString, std::optional<QByteArray>> m_changes; // the new text of each key; none: removed
#endif
};

std::unique_ptr<Settings> userSettings();

} // namespace platform
