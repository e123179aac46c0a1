#include "platform/settings.h"

#include "core/product.h"

#include <QSettings>

static const QString kKey = QStringLiteral("Settings/Duration");

#ifdef Q_OS_WIN

namespace platform {

// The key named after the program itself, as the user's tools look for it;
// an organisation-only QSettings would add an "OrganizationDefaults" level.
Settings::Settings()
    : m_registry(std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\")
                                                 + product::kProgram,
                                             QSettings::NativeFormat))
{
}

QString Settings::date() const { return m_registry->value(kKey).toString(); }
bool Settings::setDate(const QString &text)
{
    m_registry->setValue(kKey, text);
    m_registry->sync();
    return m_registry->status() == QSettings::NoError;
}
QString Settings::fileName() const { return m_registry->fileName(); }

} // namespace platform

#else

#include "platform/posixuser.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr qint64 kLargest = 1 << 20; // a settings file larger than this is not ours to rewrite

// The bytes the environment gave: a folder name that is not UTF-8 stays the user's folder.
QByteArray configFolder()
{
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    if (config.startsWith('/'))
        return config;
    QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/'))
        home = posixuser::home();
    return home.isEmpty() ? QByteArray() : home + "/.config";
}

QByteArray folderOf(const QByteArray &path) { return path.left(qMax(path.lastIndexOf('/'), 1)); }

// A folder we may make or replace files in: our own, or (unless we are root) the
// system's. Root with another user's HOME thus takes nothing of that user's over.
bool mayWriteIn(const QByteArray &folder)
{
    struct stat st;
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && (st.st_uid == ::geteuid() || st.st_uid == 0);
}

// Made one level at a time, each 0700 and only inside a folder we may write in.
bool makeFolder(const QByteArray &folder)
{
    struct stat st;
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (errno != ENOENT || folder.size() <= 1)
        return false;
    const QByteArray parent = folderOf(folder);
    return makeFolder(parent) && mayWriteIn(parent)
           && (::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST);
}

enum class Read { Done, Missing, Failed };

// Only a regular file is opened: a FIFO would block, a device may act on being
// opened. A read that fails or comes short is a failure, never a shorter text.
Read readRegular(const QByteArray &path, QByteArray *data, struct stat *st)
{
    if (::stat(path.constData(), st) != 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    const int fd = S_ISREG(st->st_mode)
                       ? ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
                       : -1;
    bool ok = fd >= 0 && ::fstat(fd, st) == 0 && S_ISREG(st->st_mode) && st->st_size <= kLargest;
    if (ok) {
        data->resize(qsizetype(st->st_size) + 1); // one more, to see the end
        ok = ::read(fd, data->data(), size_t(data->size())) == st->st_size;
        data->truncate(ok ? st->st_size : 0);
    }
    ::close(fd);
    return ok ? Read::Done : Read::Failed;
}

struct Reading {
    QString date;
    QMap<QString, QByteArray> others; // serialized: a NaN equals itself too
    bool operator==(const Reading &) const = default;
};

// QSettings itself, on a private copy in a 0700 folder of ours: given the user's file, it
// would open it plainly (a FIFO blocks) and keep Qt's lock file beside it. Each copy is new,
// so no reading QSettings keeps of an older one counts.
std::optional<Reading> readIni(const QByteArray &text)
{
    std::optional<QTemporaryDir> folder; // in /tmp when TMPDIR is no place to write
    for (const QString &base : {QDir::tempPath(), QStringLiteral("/tmp")})
        if (!folder || !folder->isValid())
            folder.emplace(base + QStringLiteral("/xelt-settings-XXXXXX"));
    QFile copy(folder->filePath(QStringLiteral("copy")));
    if (!folder->isValid() || !copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || copy.write(text) != text.size())
        return std::nullopt;
    const QSettings ini(copy.fileName(), QSettings::IniFormat);
    Reading read;
    for (const QString &key : ini.allKeys()) {
        QDataStream out(&read.others[key], QIODevice::WriteOnly);
        out << ini.value(key);
    }
    read.date = ini.value(kKey).toString();
    read.others.remove(kKey);
    if (ini.status() == QSettings::AccessError)
        return std::nullopt;
    return read;
}

struct Edit {
    qsizetype at, length;
    QByteArray with;
};

// The candidates, best first: the old date replaced where it stands (else the whole value),
// a line at the end of [Settings], a group at the end. Only QSettings decides which is right.
QList<Edit> edits(const QByteArray &text, const QByteArray &old, const QByteArray &date)
{
    // Lines end where QSettings ends them: at LF, CRLF or a lone CR.
    const auto lineEnd = [&](qsizetype at) {
        while (at < text.size() && text[at] != '\n' && text[at] != '\r')
            ++at;
        return at;
    };
    const qsizetype first = lineEnd(0);
    const QByteArray eol =
        first == text.size() ? "\n" : text.mid(first, text.mid(first, 2) == "\r\n" ? 2 : 1);
    QList<Edit> found;
    QByteArrayView group;
    qsizetype groupEnd = -1;
    for (qsizetype start = 0, stop = 0; start < text.size(); start = stop + 1) {
        stop = lineEnd(start);
        const QByteArrayView line = QByteArrayView(text).sliced(start, stop - start).trimmed();
        const qsizetype equals = line.indexOf('=');
        const QByteArrayView key = line.first(qMax(equals, 0)).trimmed();
        if (line.startsWith('['))
            group = line;
        else if (key.isEmpty() || line.startsWith(';'))
            continue;
        if (group == "[Settings]")
            groupEnd = stop;
        // A few: each is checked by reading the whole text.
        if (found.size() < 8
            && (group == "[Settings]" ? key == "Duration" : key == "Settings\\Duration")) {
            qsizetype value = line.data() - text.constData() + equals + 1;
            const qsizetype at = old.isEmpty() ? -1 : text.indexOf(old, value);
            if (at >= 0 && at + old.size() <= stop)
                found.append({at, old.size(), date});
            while (value < stop && (text[value] == ' ' || text[value] == '\t'))
                ++value;
            found.append({value, stop - value, date});
        }
    }
    if (groupEnd >= 0)
        found.append({groupEnd, 0, eol + "Duration=" + date});
    const QByteArray ended = text.isEmpty() || lineEnd(text.size() - 1) < text.size() ? "" : eol;
    const QByteArray gap = text.trimmed().isEmpty() ? "" : eol;
    found.append({text.size(), 0, ended + gap + "[Settings]" + eol + "Duration=" + date + eol});
    return found;
}

// In place from the first changed byte, as editors write: the inode, and with it owner,
// group, mode, ACL, attributes and other names, stays. Never shorter, so no truncation
// follows, after which a kill would leave a third text. Room first (Linux), so that a
// full disk changes nothing. `st`: the file as read; none: made here.
bool writeInPlace(const QByteArray &target, const struct stat *st, const QByteArray &old,
                  const QByteArray &text)
{
    const int fd =
        st ? ::open(target.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
           : ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    qsizetype first = 0;
    while (first < old.size() && first < text.size() && old[first] == text[first])
        ++first;
    struct stat now;
    bool ok =
        ::fstat(fd, &now) == 0 && S_ISREG(now.st_mode) && now.st_size == old.size()
        && (!st || (now.st_dev == st->st_dev && now.st_ino == st->st_ino))
        && text.size() >= old.size()
#ifdef FALLOC_FL_KEEP_SIZE
        && (text.size() == old.size() || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, text.size()) == 0
            || errno == EOPNOTSUPP)
#endif
        // One call, which the kernel cuts short only at a page's edge, for a kill.
        && ::pwrite(fd, text.constData() + first, size_t(text.size() - first), first)
               == text.size() - first
        && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok && !st)
        ::unlink(target.constData()); // ours, and not whole
    return ok;
}

// The first edit after which QSettings reads the date, and every other key as
// before; none: nothing written. Never after a failed read, nor in a folder of
// another user's; a link to a regular file is written through.
bool store(const QByteArray &path, const QString &date)
{
    QByteArray target = path;
    struct stat st;
    const int there = ::lstat(path.constData(), &st) == 0 ? 0 : errno;
    if (there == 0 && S_ISLNK(st.st_mode)) {
        // A buffer of PATH_MAX, so that a fortified build checks the call.
        char real[PATH_MAX];
        if (!::realpath(path.constData(), real)) // none for a dangling link
            return false;
        target = real;
    } else if (there == ENOENT && !makeFolder(folderOf(path))) {
        return false;
    }
    QByteArray old;
    const Read read = readRegular(target, &old, &st);
    if (read == Read::Failed || !mayWriteIn(folderOf(target)) || !mayWriteIn(folderOf(path)))
        return false;
    const std::optional<Reading> before = readIni(old);
    if (!before || before->date == date)
        return before.has_value();
    const Reading wanted{date, before->others};
    for (Edit edit : edits(old, before->date.toUtf8(), date.toUtf8())) {
        // Spaces (QSettings drops them) keep a shorter date's size; nothing past the read limit.
        edit.with.append(qMax(edit.length - edit.with.size(), 0), ' ');
        const QByteArray text = QByteArray(old).replace(edit.at, edit.length, edit.with);
        if (text.size() <= kLargest && readIni(text) == wanted)
            return writeInPlace(target, read == Read::Done ? &st : nullptr, old, text);
    }
    return false;
}
} // namespace

Settings::Settings()
{
    const QByteArray folder = configFolder();
    if (folder.isEmpty())
        return; // no home at all: nothing read or stored
    m_path = folder + '/' + QFile::encodeName(product::kProgram) + ".conf";
    QByteArray data;
    struct stat st;
    if (readRegular(m_path, &data, &st) == Read::Done)
        m_date = readIni(data).value_or(Reading()).date;
}

QString Settings::date() const { return m_date; }

bool Settings::setDate(const QString &text)
{
    if (m_path.isEmpty() || !store(m_path, text))
        return false;
    m_date = text;
    return true;
}

QString Settings::fileName() const { return QFile::decodeName(m_path); }

} // namespace platform

#endif

namespace platform {
Settings::~Settings() = default;
std::unique_ptr<Settings> userSettings() { return std::make_unique<Settings>(); }
} // namespace platform
