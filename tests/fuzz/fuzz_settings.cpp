// Any settings file (or none, or a link to one) and any date stored into it:
// QSettings then reads that date, and every other key as before; a start reads
// the date back; the same store again changes nothing; the file keeps its
// inode, never shrinks, and no line changes but the date's. Where the store
// declined, nothing changed. An input is one byte (mode: byte % 3; the date's
// length: byte / 3 % 32), the date, then the file's text.
#include "platform/settings.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {
const QString kKey = QStringLiteral("Settings/Duration");
enum Mode { Regular, Missing, Link };

// The store syncs each write: in memory, where there is such a folder.
const QTemporaryDir home(QDir(QStringLiteral("/dev/shm")).exists()
                             ? QStringLiteral("/dev/shm/xelt-fuzz-XXXXXX")
                             : QDir::tempPath() + QStringLiteral("/xelt-fuzz-XXXXXX"));

void check(bool ok, int line = __builtin_LINE())
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz_settings.cpp:%d: check failed\n", line);
    std::abort(); // the input is kept as a failure
}

// Serialized, so that even a value unequal to itself (NaN) compares. Each text
// has a name of its own: QSettings takes a name it has read before as unchanged
// while its size and time are.
QByteArray keys(const QByteArray &text, const QString &date)
{
    static int count = 0;
    QFile file(home.filePath(QStringLiteral("read-") + QString::number(++count)));
    check(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    QVariantMap read;
    for (const QSettings ini(file.fileName(), QSettings::IniFormat);
         const QString &key : ini.allKeys())
        read.insert(key, ini.value(key));
    // Prefixed, so that a null text and an empty one compare alike.
    read.insert(kKey, QString(u'=' + (date.isNull() ? read.value(kKey).toString() : date)));
    file.remove();
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << read;
    return bytes;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What of `before` the store replaced: it holds no line's end, so no other line changed.
bool oneLine(const QByteArray &before, const QByteArray &after)
{
    qsizetype same = 0, end = 0;
    while (same < before.size() && before[same] == after[same])
        ++same;
    while (end < before.size() - same
           && before[before.size() - 1 - end] == after[after.size() - 1 - end])
        ++end;
    const QByteArray replaced = before.mid(same, before.size() - same - end);
    return !replaced.contains('\n') && !replaced.contains('\r');
}

ino_t inode(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}
} // namespace

// QSettings keeps what it read for later: no leak, and a search for leaks
// after every run would take most of the time.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The store's private copies go there too, and must not stay.
    static const bool pointed = qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()))
                                && qputenv("TMPDIR", QFile::encodeName(home.path()));
    check(pointed);
    if (size == 0)
        return 0;
    const Mode mode = Mode(data[0] % 3);
    const QByteArray input(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    const QString date = QString::fromUtf8(input.left(data[0] / 3 % 32));
    const QByteArray before = mode == Missing ? QByteArray() : input.mid(data[0] / 3 % 32);
    const QString conf = home.filePath(QStringLiteral("xelt-ombrel-astrology.conf"));
    const QString target = mode == Link ? home.filePath(QStringLiteral("target")) : conf;
    QFile file(target);
    check(mode == Missing
          || (file.open(QIODevice::WriteOnly) && file.write(before) == before.size()));
    file.close();
    check(mode != Link || QFile::link(target, conf));
    const ino_t was = inode(target);

    const bool stored = platform::userSettings()->setDate(date);
    const QByteArray after = contents(target);
    if (stored) {
        check(keys(after, QString()) == keys(before, date) && after.size() >= before.size()
              && oneLine(before, after) && after.size() <= (1 << 20)
              && platform::userSettings()->date() == date
              && (mode == Missing || inode(target) == was));
        check(platform::userSettings()->setDate(date) && contents(target) == after);
    } else {
        check(after == before && (mode != Missing || !QFile::exists(conf)));
    }
    check(mode != Link || QFileInfo(conf).isSymLink());
    QFile::remove(conf);
    QFile::remove(target);
    check(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    return 0;
}

#ifdef XELT_REPLAY
// Without libFuzzer: each file of the folder named, once.
int main(int, char **argv)
{
    const QDir corpus(QFile::decodeName(argv[1]));
    for (const QString &name : corpus.entryList(QDir::Files)) {
        QFile input(corpus.filePath(name));
        const QByteArray data = input.open(QIODevice::ReadOnly) ? input.readAll() : QByteArray();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.constData()),
                               size_t(data.size()));
    }
    return corpus.isEmpty(QDir::Files) ? 1 : 0;
}
#endif
