#include "platform/settings.h"

#include "core/product.h"

#ifdef Q_OS_WIN

#include <QSettings>

namespace platform {

// The key named after the program itself, as the user's tools look for it;
// an organisation-only QSettings would add an "OrganizationDefaults" level.
Settings::Settings()
    : m_registry(std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\")
                                                 + product::kProgram,
                                             QSettings::NativeFormat))
{
}

Settings::~Settings() = default;

QVariant Settings::value(const QString &key) const { return m_registry->value(key); }
void Settings::setValue(const QString &key, const QVariant &value)
{
    m_registry->setValue(key, value);
}
void Settings::remove(const QString &key) { m_registry->remove(key); }
bool Settings::sync()
{
    m_registry->sync();
    return m_registry->status() == QSettings::NoError;
}
QString Settings::fileName() const { return m_registry->fileName(); }

} // namespace platform

#else

#include "platform/posixuser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr qint64 kLargest = 1 << 20; // a settings file larger than this is not ours to rewrite

QString configFolder()
{
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    if (config.startsWith('/'))
        return QFile::decodeName(config);
    QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/'))
        home = posixuser::home();
    return home.isEmpty() ? QString() : QFile::decodeName(home) + QStringLiteral("/.config");
}

// Opened only when it is (or links to) a regular file: opening a FIFO blocks,
// opening a device may act on it. Without O_NONBLOCK a FIFO swapped in after
// the check would still block.
bool readRegular(const QByteArray &path, QByteArray *data)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargest;
    if (ok) {
        data->resize(qsizetype(st.st_size));
        qsizetype got = 0;
        for (ssize_t n = 1; n > 0 && got < data->size(); got += n)
            n = ::read(fd, data->data() + got, size_t(data->size() - got));
        data->truncate(got);
    }
    ::close(fd);
    return ok;
}

QString unquoted(const QString &text)
{
    if (!text.startsWith(u'"'))
        return text.startsWith(QStringLiteral("@@")) ? text.mid(1) : text;
    QString out;
    for (qsizetype i = 1; i < text.size() && text[i] != u'"'; ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            const QChar c = text[++i];
            out += c == u'n' ? u'\n' : c == u'r' ? u'\r' : c == u't' ? u'\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

// As QSettings writes a text, so that either reads what the other wrote.
QString quoted(const QString &text)
{
    static const QString special = QStringLiteral("\";,=#\\\n\r\t");
    bool plain = text == text.trimmed() && !text.startsWith(u'@');
    for (const QChar c : text)
        plain = plain && !special.contains(c);
    if (plain)
        return text;
    QString out = QStringLiteral("\"");
    for (const QChar c : text)
        out += c == u'"'    ? QStringLiteral("\\\"")
               : c == u'\\' ? QStringLiteral("\\\\")
               : c == u'\n' ? QStringLiteral("\\n")
               : c == u'\r' ? QStringLiteral("\\r")
               : c == u'\t' ? QStringLiteral("\\t")
                            : QString(c);
    return out + u'"';
}

QMap<QString, QString> parse(const QByteArray &data)
{
    QMap<QString, QString> values;
    QString group;
    for (const QByteArray &raw : data.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            group = group == u"General" ? QString() : group + u'/';
        } else if (const qsizetype eq = line.indexOf(u'='); eq > 0 && !line.startsWith(u';')) {
            values.insert(group + line.left(eq).trimmed(), unquoted(line.mid(eq + 1).trimmed()));
        }
    }
    return values;
}

QByteArray iniText(const QMap<QString, QString> &values)
{
    QMap<QString, QString> groups; // group -> its lines
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        const QString group = slash < 0 ? QStringLiteral("General") : it.key().left(slash);
        groups[group] += it.key().mid(slash + 1) + u'=' + quoted(it.value()) + u'\n';
    }
    QString text;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + u'[' + it.key()
                + QStringLiteral("]\n") + it.value();
    return text.toUtf8();
}

bool writeAll(int fd, const QByteArray &data)
{
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The new text goes into a file of our own beside the target, which then
// takes the target's name: a reader never sees half a file, and the only
// thing ever replaced is the regular file looked at (a link stays a link).
bool store(const QByteArray &path, const QByteArray &data)
{
    QByteArray target = path;
    struct stat st;
    const bool exists = ::lstat(path.constData(), &st) == 0;
    if (!exists && (errno != ENOENT || !QDir().mkpath(QFileInfo(QFile::decodeName(path)).path())))
        return false;
    if (exists && S_ISLNK(st.st_mode)) {
        char *real = ::realpath(path.constData(), nullptr); // none for a dangling link
        if (!real)
            return false;
        target = real;
        std::free(real);
        if (::lstat(target.constData(), &st) != 0)
            return false;
    }
    if (exists && !S_ISREG(st.st_mode))
        return false;
    QByteArray temp = target.left(target.lastIndexOf('/') + 1) + '.'
                      + QFile::encodeName(product::kProgram) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, data) && (!exists || ::fchmod(fd, st.st_mode & 07777) == 0)
              && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && exists) {
        struct stat now;
        ok = ::lstat(target.constData(), &now) == 0 && now.st_dev == st.st_dev
             && now.st_ino == st.st_ino && ::rename(temp.constData(), target.constData()) == 0;
    } else if (ok) {
        // Never over something that appeared meanwhile.
        ok = ::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
             == 0;
        if (!ok && errno == EINVAL) // a file system without it: a hard link does the same
            ok = ::link(temp.constData(), target.constData()) == 0;
    }
    ::unlink(temp.constData()); // gone already after a rename
    return ok;
}
} // namespace

Settings::Settings()
{
    const QString folder = configFolder();
    if (folder.isEmpty())
        return; // no home at all: nothing read or stored
    m_path = folder + u'/' + product::kProgram + QStringLiteral(".conf");
    QByteArray data;
    if (readRegular(QFile::encodeName(m_path), &data))
        m_values = parse(data);
    else
        m_path.clear(); // something else is there: left alone, nothing stored
}

Settings::~Settings() { sync(); }

QVariant Settings::value(const QString &key) const
{
    const auto it = m_values.constFind(key);
    return it == m_values.cend() ? QVariant() : QVariant(*it);
}

void Settings::setValue(const QString &key, const QVariant &value)
{
    m_values.insert(key, value.toString());
    m_changed = true;
}

void Settings::remove(const QString &key) { m_changed = m_values.remove(key) > 0 || m_changed; }

bool Settings::sync()
{
    if (!m_changed)
        return true;
    m_changed = false; // one try per change: a store that fails now fails again
    return !m_path.isEmpty() && store(QFile::encodeName(m_path), iniText(m_values));
}

QString Settings::fileName() const { return m_path; }

} // namespace platform

#endif

namespace platform {
std::unique_ptr<Settings> userSettings() { return std::make_unique<Settings>(); }
} // namespace platform
