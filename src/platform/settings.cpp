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

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// Whether nobody but the user (or root) can add, remove or rename entries in a
// folder: write access for a group counts only where the group is the user's
// own private one (Debian's umask 002 for such users makes folders 0775).
bool othersMayWrite(const struct stat &st)
{
    return (st.st_mode & S_IWOTH)
           || ((st.st_mode & S_IWGRP) && !posixuser::isPrivateGroup(st.st_gid));
}

// An entry that only the user, or root, can have made: in a sticky folder that
// others may write in (/tmp), an entry of anyone else's is theirs to plant, as
// the kernel's protected_symlinks has it.
bool trustedOwner(const struct stat &st) { return st.st_uid == ::geteuid() || st.st_uid == 0; }

// The path with each link on the way resolved, where every folder and link on it
// is one that only the user (or root) could have made or changed, and the file at
// its end, if any, is a regular file of the user's. A missing folder is made
// (0700). Empty: no such path, nothing to write to. Root with another user's
// HOME thus changes nothing of that user's, nor anyone else's.
QByteArray trustedPath(const QByteArray &path)
{
    QList<QByteArray> todo = path.split('/');
    std::reverse(todo.begin(), todo.end());
    QByteArray at; // resolved so far; "" is /
    struct stat st, folder;
    if (!path.startsWith('/') || ::lstat("/", &folder) != 0)
        return {};
    bool fileLink = false; // what follows is the file's own link's target
    for (int links = 0; !todo.isEmpty();) {
        const QByteArray name = todo.takeLast();
        if (name.isEmpty() || name == ".")
            continue;
        // A folder on the way must be one no other user can change.
        if (!S_ISDIR(folder.st_mode) || !trustedOwner(folder)
            || (othersMayWrite(folder) && !(folder.st_mode & S_ISVTX)))
            return {};
        const bool shared = othersMayWrite(folder);
        const bool last = std::none_of(todo.cbegin(), todo.cend(), [](const QByteArray &n) {
            return !n.isEmpty() && n != ".";
        });
        if (name == "..") {
            at = folderOf(at.isEmpty() ? "/" : at);
            if (at == "/")
                at.clear();
            if (::lstat(at.isEmpty() ? "/" : at.constData(), &folder) != 0)
                return {};
            continue;
        }
        const QByteArray next = at + '/' + name;
        if (::lstat(next.constData(), &st) != 0) {
            // A dangling link where the file should be stays as it is: nothing made for it.
            if (errno != ENOENT || fileLink)
                return {};
            if (last)
                return next; // made later, O_EXCL, by us
            if (::mkdir(next.constData(), 0700) != 0 || ::lstat(next.constData(), &st) != 0)
                return {};
        }
        if ((shared || S_ISLNK(st.st_mode) || S_ISDIR(st.st_mode)) && !trustedOwner(st))
            return {};
        if (S_ISLNK(st.st_mode)) {
            QByteArray target(qsizetype(st.st_size) + 1, Qt::Uninitialized);
            const ssize_t length =
                ::readlink(next.constData(), target.data(), size_t(target.size()));
            if (++links > 40 || length <= 0 || length >= target.size())
                return {};
            fileLink = fileLink || last;
            target.truncate(length);
            QList<QByteArray> more = target.split('/');
            std::reverse(more.begin(), more.end());
            todo += more;
            if (target.startsWith('/')) {
                at.clear();
                if (::lstat("/", &folder) != 0)
                    return {};
            }
            continue;
        }
        at = next;
        if (last)
            return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() ? at : QByteArray();
        folder = st;
    }
    return {};
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

// Where `what` first stands in `text`, or -1, in time linear in both
// (Knuth-Morris-Pratt): a value and an old date can each be most of a 1 MiB file.
qsizetype firstIn(QByteArrayView text, QByteArrayView what)
{
    if (what.isEmpty() || what.size() > text.size())
        return what.isEmpty() ? 0 : -1;
    std::vector<qsizetype> border(size_t(what.size()) + 1, 0);
    for (qsizetype i = 1, k = 0; i < what.size(); ++i) {
        while (k > 0 && what[i] != what[k])
            k = border[size_t(k)];
        border[size_t(i) + 1] = k += what[i] == what[k];
    }
    for (qsizetype i = 0, k = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != what[k])
            k = border[size_t(k)];
        if ((k += text[i] == what[k]) == what.size())
            return i + 1 - k;
    }
    return -1;
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
    QList<std::pair<qsizetype, qsizetype>> values; // of the date's lines: start, end
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
        if (group == "[Settings]" ? key == "Duration" : key == "Settings\\Duration")
            values.append({line.data() - text.constData() + equals + 1, stop});
    }
    // A few, the last first, as a later line wins in QSettings: each is checked by
    // reading the whole text.
    QList<Edit> found;
    for (qsizetype i = values.size() - 1; i >= qMax(values.size() - 8, 0); --i) {
        auto [value, stop] = values[i];
        const qsizetype at = firstIn(QByteArrayView(text).sliced(value, stop - value), old);
        if (!old.isEmpty() && at >= 0)
            found.append({value + at, old.size(), date});
        while (value < stop && (text[value] == ' ' || text[value] == '\t'))
            ++value;
        found.append({value, stop - value, date});
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
// full disk changes nothing; where the system cannot reserve it, a write that comes
// short or fails puts the old bytes and size back. `st`: the file as read, whose change
// time tells of another program's edit since; none: made here.
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
    const bool same =
        ::fstat(fd, &now) == 0 && S_ISREG(now.st_mode) && now.st_size == old.size()
        && now.st_uid == ::geteuid()
        && (!st
            || (now.st_dev == st->st_dev && now.st_ino == st->st_ino
                && now.st_ctim.tv_sec == st->st_ctim.tv_sec
                && now.st_ctim.tv_nsec == st->st_ctim.tv_nsec))
        && text.size() >= old.size()
#ifdef FALLOC_FL_KEEP_SIZE
        && (text.size() == old.size() || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, text.size()) == 0
            || errno == EOPNOTSUPP)
#endif
        ;
    // One call, which the kernel cuts short only at a page's edge, for a kill.
    bool ok = same
              && ::pwrite(fd, text.constData() + first, size_t(text.size() - first), first)
                     == text.size() - first
              && ::fsync(fd) == 0;
    if (same && !ok && st) {
        // The old bytes fit where they stood, so this write needs no new room.
        const qsizetype back = old.size() - first;
        if (::pwrite(fd, old.constData() + first, size_t(back), first) == back
            && ::ftruncate(fd, old.size()) == 0)
            ::fsync(fd);
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok && !st)
        ::unlink(target.constData()); // ours, and not whole
    return ok;
}

// The first edit after which QSettings reads the date, and every other key as
// before; none: nothing written. Never after a failed read, nor through a folder
// or link that another user could have changed; a link of the user's to a regular
// file of the user's is written through.
bool store(const QByteArray &path, const QString &date)
{
    const QByteArray target = trustedPath(path);
    if (target.isEmpty())
        return false;
    QByteArray old;
    struct stat st;
    const Read read = readRegular(target, &old, &st);
    if (read == Read::Failed)
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
