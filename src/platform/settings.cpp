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

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// Opened only when it is (or links to) a regular file: opening a FIFO blocks,
// opening a device may act on it. Without O_NONBLOCK a FIFO swapped in after
// the check would still block. Every byte or nothing: a read that fails or
// comes short is a failure, never a shorter text.
Read readRegular(const QByteArray &path, QByteArray *data, struct stat *st)
{
    if (::stat(path.constData(), st) != 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    if (!S_ISREG(st->st_mode))
        return Read::Failed;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    bool ok = ::fstat(fd, st) == 0 && S_ISREG(st->st_mode) && st->st_size <= kLargest;
    if (ok) {
        data->resize(qsizetype(st->st_size) + 1); // one more, to see the end
        qsizetype got = 0;
        while (ok && got < data->size()) {
            const ssize_t n = ::read(fd, data->data() + got, size_t(data->size() - got));
            if (n == 0)
                break;
            ok = n > 0 || errno == EINTR;
            got += qMax<ssize_t>(n, 0);
        }
        ok = ok && got == st->st_size; // a file that changed meanwhile is read next time
        data->truncate(ok ? got : 0);
    }
    ::close(fd);
    return ok ? Read::Done : Read::Failed;
}

// One logical line of the file as QSettings reads it: a quoted value or a
// backslash may carry it over a line end, and comment lines are skipped.
// Returns false at the end; [start, start + length) is the line, equals its '='.
bool nextLine(QByteArrayView data, qsizetype &pos, qsizetype &start, qsizetype &length,
              qsizetype &equals)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    equals = -1;
    start = pos;
    while (start < data.size() && space(data[start]))
        ++start;
    bool inQuotes = false;
    qsizetype i = start;
    while (i < data.size()) {
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && equals < 0)
                equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < data.size()) {
                const char next = data[i++];
                if (i < data.size()
                    && ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < data.size() && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < data.size() && space(data[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    length = i - start;
    return length > 0;
}

// A key or group name as written: "\" stands for "/", %XX and %UXXXX for a character.
QString unescapedKey(QByteArrayView key)
{
    const QString text = QString::fromUtf8(key);
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        const qsizetype digits = i + 1 < text.size() && text[i + 1] == u'U' ? 4 : 2;
        const qsizetype first = i + 1 + (digits == 4 ? 1 : 0);
        bool ok = false;
        const ushort code = c == u'%' && first + digits <= text.size()
                                ? QStringView(text).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        out += ok ? QChar(code) : c;
        i = ok ? first + digits : i + 1;
    }
    return out;
}

QByteArray escapedKey(const QString &key)
{
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == u'/')
            out += '\\';
        else if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
                 || u == u'_' || u == u'-' || u == u'.')
            out += char(u);
        else if (u <= 0xff)
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

// A value as QSettings reads it: quotes, C escapes, and a list at unquoted commas.
QVariant unescapedValue(QByteArrayView text)
{
    QStringList list;
    QString current;
    bool isList = false, inQuotes = false, quoted = false;
    qsizetype keep = 0; // trailing blanks from here on are dropped
    const auto chop = [&] {
        if (!quoted)
            while (current.size() > keep && (current.endsWith(u' ') || current.endsWith(u'\t')))
                current.chop(1);
    };
    const auto skipBlanks = [&](qsizetype i) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        return i;
    };
    static const char escapes[] = "a\ab\bf\fn\nr\rt\tv\v\"\"?\?''\\\\";
    for (qsizetype i = skipBlanks(0); i < text.size();) {
        const char c = text[i];
        if (c == '\\' && ++i < text.size()) {
            const char e = text[i++];
            const char *known = std::strchr(escapes, e);
            if (e && known && (known - escapes) % 2 == 0) {
                current += QLatin1Char(known[1]);
            } else if (e == 'x' || (e >= '0' && e <= '7')) {
                const QByteArray digits =
                    QByteArray("0123456789abcdefABCDEF").left(e == 'x' ? 22 : 8);
                char16_t code = e == 'x' ? 0 : char16_t(e - '0');
                const qsizetype from = i;
                for (; i < text.size() && digits.contains(text[i]); ++i)
                    code = char16_t(code * (e == 'x' ? 16 : 8)
                                    + QByteArray(1, text[i]).toUShort(nullptr, 16));
                if (e != 'x' || i > from)
                    current += QChar(code);
            } else if ((e == '\n' || e == '\r') && i < text.size()
                       && (text[i] == '\n' || text[i] == '\r') && text[i] != e) {
                ++i;
            }
            keep = current.size();
        } else if (c == '\\') {
            break;
        } else if (c == '"') {
            inQuotes = !inQuotes;
            quoted = true;
            i = inQuotes ? i + 1 : skipBlanks(i + 1);
            keep = current.size();
        } else if (c == ',' && !inQuotes) {
            chop();
            isList = true;
            list << std::exchange(current, QString());
            quoted = false;
            keep = 0;
            i = skipBlanks(i + 1);
        } else {
            qsizetype j = i + 1;
            while (j < text.size() && text[j] != '\\' && text[j] != '"' && text[j] != ',')
                ++j;
            current += QString::fromUtf8(text.sliced(i, j - i));
            i = j;
        }
    }
    chop();
    if (isList)
        return list << current;
    if (current.startsWith(QStringLiteral("@ByteArray(")) && current.endsWith(u')'))
        return current.sliced(11, current.size() - 12).toLatin1();
    if (current == u"@Invalid()")
        return {};
    return current.startsWith(QStringLiteral("@@")) ? current.mid(1) : current;
}

// As QSettings writes a text, so that either reads what the other wrote.
QByteArray escapedValue(const QString &value)
{
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray out;
    bool quotes = false, hexNext = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        quotes = quotes || u == u';' || u == u',' || u == u'=';
        if (hexNext && u < 0x80 && QByteArray("0123456789abcdefABCDEF").contains(char(u))) {
            out += "\\x" + QByteArray::number(u, 16);
            continue;
        }
        hexNext = false;
        const char *named = u == u'\n'   ? "\\n"
                            : u == u'\r' ? "\\r"
                            : u == u'\t' ? "\\t"
                            : u == u'"'  ? "\\\""
                            : u == u'\\' ? "\\\\"
                                         : nullptr;
        if (named) {
            out += named;
        } else if (u <= 0x1f) {
            out += "\\x" + QByteArray::number(u, 16);
            hexNext = true;
        } else { // a character outside the BMP is two QChars, encoded together
            const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            out += text.sliced(i, n).toUtf8();
            i += n - 1;
        }
    }
    if (quotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

// Each key of the text with its value's place, as QSettings reads them: a key
// written twice counts where it was written last.
struct Entry {
    qsizetype start, length, equals;
};
QMap<QString, Entry> entries(QByteArrayView data, QMap<QString, qsizetype> *sectionEnds = nullptr)
{
    QMap<QString, Entry> found;
    QString section; // "" or "Name/"
    qsizetype pos = data.startsWith("\xef\xbb\xbf") ? 3 : 0, start, length, equals;
    while (nextLine(data, pos, start, length, equals)) {
        const QByteArrayView line = data.sliced(start, length);
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QByteArrayView name = line.sliced(1, (close < 0 ? length : close) - 1).trimmed();
            section = name.compare("general", Qt::CaseInsensitive) == 0 ? QString()
                      : name.compare("%general", Qt::CaseInsensitive) == 0
                          ? QString::fromLatin1(name.sliced(1)) + u'/'
                          : unescapedKey(name) + u'/';
        } else if (equals > 0) {
            found.insert(section + unescapedKey(data.sliced(start, equals - start).trimmed()),
                         {start, length, equals});
        }
        if (sectionEnds)
            sectionEnds->insert(section, start + length);
    }
    return found;
}

// The text with only the changed keys' lines replaced, removed or added (to the
// end of their group, or in a new group at the end), in the text's own line ends.
QByteArray edited(QByteArray text, const QMap<QString, std::optional<QByteArray>> &changes)
{
    const qsizetype firstEnd = text.indexOf('\n');
    const QByteArray eol = firstEnd > 0 && text[firstEnd - 1] == '\r' ? "\r\n" : "\n";
    for (auto change = changes.cbegin(); change != changes.cend(); ++change) {
        QMap<QString, qsizetype> sectionEnds;
        const QMap<QString, Entry> found = entries(text, &sectionEnds);
        const QString &key = change.key();
        const qsizetype slash = key.indexOf(u'/');
        const QString section = slash < 0 ? QString() : key.left(slash + 1);
        const QByteArray line = escapedKey(key.mid(slash + 1)) + '=' + change->value_or("");
        if (const auto it = found.constFind(key); it != found.cend()) {
            if (change->has_value()) {
                text.replace(it->start, it->length, line);
            } else { // the line and its end go
                qsizetype end = it->start + it->length;
                end += text.mid(end, 2) == "\r\n" ? 2 : text.mid(end, 1) == "\n" ? 1 : 0;
                text.remove(it->start, end - it->start);
            }
        } else if (change->has_value()) {
            if (const auto end = sectionEnds.constFind(section); end != sectionEnds.cend()) {
                text.insert(*end, eol + line);
            } else {
                if (!text.isEmpty() && !text.endsWith('\n'))
                    text += eol;
                const QString name = section.chopped(section.isEmpty() ? 0 : 1);
                const QByteArray header = name.isEmpty()       ? QByteArray("General")
                                          : name == u"General" ? QByteArray("%General")
                                                               : escapedKey(name);
                text += (text.trimmed().isEmpty() ? QByteArray() : eol) + '[' + header + ']' + eol
                        + line + eol;
            }
        }
    }
    return text;
}

bool writeAll(int fd, const QByteArray &data, off_t at = 0)
{
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n =
            ::pwrite(fd, data.constData() + done, size_t(data.size() - done), at + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

const QByteArray &tempPrefix()
{
    static const QByteArray prefix = '.' + QFile::encodeName(product::kProgram) + '.';
    return prefix;
}

// Our own names from a write killed half way: ".<program>.XXXXXX", a regular
// file of ours with no other name.
void removeLeftovers(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        struct stat st;
        if (name.size() == tempPrefix().size() + 6 && name.startsWith(tempPrefix())
            && ::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1)
            ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
}

// A file of ours with no name yet: a write killed half way leaves nothing.
// Where the file system has no unnamed files, a named one, removed next time.
int newFile(const QByteArray &folder, QByteArray *named)
{
    const int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    *named = folder + '/' + tempPrefix() + "XXXXXX";
    return ::mkostemp(named->data(), O_CLOEXEC);
}

// Gives the new file the name `path`; never over anything when `replace` is false.
bool nameFile(int fd, QByteArray *named, const QByteArray &path, bool replace)
{
    if (named->isEmpty()) {
        // Root may name it outright; everyone may through /proc.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        const auto link = [&](const QByteArray &name) {
            return ::linkat(fd, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0
                   || (errno != EEXIST
                       && ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                                   AT_SYMLINK_FOLLOW)
                              == 0);
        };
        if (!replace)
            return link(path);
        *named = folderOf(path) + '/' + tempPrefix() + "XXXXXX";
        const int probe = ::mkostemp(named->data(), O_CLOEXEC); // a free name of ours
        if (probe < 0)
            return false;
        ::close(probe);
        ::unlink(named->constData());
        if (!link(*named))
            return false;
    }
    if (replace)
        return ::rename(named->constData(), path.constData()) == 0;
    // Never over something that appeared meanwhile; without renameat2, a link does the same.
    if (::renameat2(AT_FDCWD, named->constData(), AT_FDCWD, path.constData(), RENAME_NOREPLACE)
        == 0)
        return true;
    return errno == EINVAL && ::link(named->constData(), path.constData()) == 0;
}

// A file of its own that takes the target's name: a reader never sees half a file.
bool replaceWith(const QByteArray &target, const struct stat &st, const QByteArray &text)
{
    QByteArray named;
    const int fd = newFile(folderOf(target), &named);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, text) && (st.st_mode == 0 || ::fchmod(fd, st.st_mode & 07777) == 0)
              && ::fsync(fd) == 0;
    if (ok && st.st_mode != 0) {
        struct stat now;
        ok = ::lstat(target.constData(), &now) == 0 && now.st_dev == st.st_dev
             && now.st_ino == st.st_ino;
    }
    if (ok && st.st_mode != 0) { // in a set-group-id folder the group is the folder's
        struct stat mine;
        ok = ::fstat(fd, &mine) == 0
             && (mine.st_gid == st.st_gid || ::fchown(fd, uid_t(-1), st.st_gid) == 0);
    }
    ok = ok && nameFile(fd, &named, target, st.st_mode != 0);
    ok = ::close(fd) == 0 && ok;
    if (!named.isEmpty())
        ::unlink(named.constData()); // gone already after a rename
    return ok;
}

// What a new file of ours renamed over it would lose: another name (a hard
// link), an owner or group not ours, an ACL or other extended attributes.
bool renameKeepsAll(const QByteArray &target, const struct stat &st)
{
    return st.st_nlink == 1 && st.st_uid == ::geteuid() && st.st_gid == ::getegid()
           && ::listxattr(target.constData(), nullptr, 0) == 0;
}

// In place, as text editors do where a rename would not keep the file: from the
// first changed byte on, room made first so that a full disk changes nothing.
bool writeInPlace(const QByteArray &target, const struct stat &st, const QByteArray &old,
                  const QByteArray &text)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat now;
    qsizetype first = 0;
    while (first < old.size() && first < text.size() && old[first] == text[first])
        ++first;
    bool ok = ::fstat(fd, &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino
              && now.st_size == old.size()
              && (text.size() <= old.size()
                  || ::posix_fallocate(fd, old.size(), text.size() - old.size()) == 0)
              && writeAll(fd, text.mid(first), first)
              && (text.size() >= old.size() || ::ftruncate(fd, text.size()) == 0)
              && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

// Reads the file afresh and changes only the changed keys' lines. Nothing is
// written after a read that failed, nor made or replaced in a folder of
// another user's; a link to a regular file is written through.
bool store(const QByteArray &path, const QMap<QString, std::optional<QByteArray>> &changes)
{
    QByteArray target = path;
    struct stat st;
    const int there = ::lstat(path.constData(), &st) == 0 ? 0 : errno;
    if (there == 0 && S_ISLNK(st.st_mode)) {
        char *real = ::realpath(path.constData(), nullptr); // none for a dangling link
        if (!real)
            return false;
        target = real;
        std::free(real);
    } else if (there == ENOENT && !makeFolder(folderOf(path))) {
        return false;
    }
    const QByteArray folder = folderOf(target);
    QByteArray old;
    const Read read = readRegular(target, &old, &st);
    // Neither the file nor a link to it in another user's folder.
    if (read == Read::Failed || !mayWriteIn(folder) || !mayWriteIn(folderOf(path)))
        return false;
    const QByteArray text = edited(old, changes);
    if (read == Read::Done && text == old)
        return true;
    removeLeftovers(folder);
    if (read == Read::Missing) {
        st.st_mode = 0;
        return replaceWith(target, st, text);
    }
    return renameKeepsAll(target, st) ? replaceWith(target, st, text)
                                      : writeInPlace(target, st, old, text);
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
    const Read read = readRegular(m_path, &data, &st);
    if (read == Read::Failed) {
        m_path.clear(); // something else is there, or unreadable: left alone, nothing stored
        return;
    }
    const QMap<QString, Entry> found = entries(data);
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        m_values.insert(it.key(), unescapedValue(QByteArrayView(data).sliced(
                                      it->equals + 1, it->start + it->length - it->equals - 1)));
}

Settings::~Settings() { sync(); }

QVariant Settings::value(const QString &key) const { return m_values.value(key); }

void Settings::setValue(const QString &key, const QVariant &value)
{
    m_values.insert(key, value);
    m_changes.insert(key, value.isValid() ? escapedValue(value.toString()) : "@Invalid()");
}

void Settings::remove(const QString &key)
{
    m_values.remove(key);
    m_changes.insert(key, std::nullopt);
}

bool Settings::sync()
{
    if (m_changes.isEmpty())
        return true;
    // One try per change: a store that fails now fails again.
    const auto changes = std::exchange(m_changes, {});
    return !m_path.isEmpty() && store(m_path, changes);
}

QString Settings::fileName() const { return QFile::decodeName(m_path); }

} // namespace platform

#endif

namespace platform {
std::unique_ptr<Settings> userSettings() { return std::make_unique<Settings>(); }
} // namespace platform
