// Any settings file, the date stored into it: QSettings then reads the date
// and every other key as before, and so does the store; only bytes of one
// line were replaced. Where the store declined, the file is as it was.
#include "platform/settings.h"

#include <QDataStream>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
const QString kDate = QStringLiteral("2027-01-03");

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "settings store: %s\n", what);
        std::abort(); // the input is kept as a failure
    }
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "the file cannot be read back");
    return file.readAll();
}

// Each text under a name of its own: QSettings takes a name it has read before
// as unchanged while its size and time are.
QVariantMap keys(const QDir &dir, const QByteArray &text)
{
    static int count = 0;
    QFile file(dir.filePath(QString::number(++count) + QStringLiteral(".ini")));
    check(file.open(QIODevice::WriteOnly) && file.write(text) == text.size(), "no scratch file");
    file.close();
    QVariantMap read;
    {
        const QSettings ini(file.fileName(), QSettings::IniFormat);
        for (const QString &key : ini.allKeys())
            read.insert(key, ini.value(key));
    }
    file.remove();
    return read;
}

// Equal when they read the same, even a value that is not equal to itself (NaN).
QByteArray serialized(const QVariantMap &values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << values;
    return bytes;
}
} // namespace

// QSettings keeps what it read for later: no leak, and a search for leaks
// after every run would take most of the time.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The store syncs every write: in memory, where there is such a folder.
    static const QTemporaryDir home(QDir(QStringLiteral("/dev/shm")).exists()
                                        ? QStringLiteral("/dev/shm/xelt-fuzz-XXXXXX")
                                        : QDir::tempPath() + QStringLiteral("/xelt-fuzz-XXXXXX"));
    static const QDir dir(home.path());
    static const bool pointed = qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    check(home.isValid() && pointed, "no private config folder");
    const QString conf = dir.filePath(QStringLiteral("xelt-ombrel-astrology.conf"));
    const QByteArray before(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile file(conf);
    check(file.open(QIODevice::WriteOnly) && file.write(before) == before.size(), "no file");
    file.close();

    const bool stored = platform::userSettings()->setDate(kDate);
    const QByteArray after = readAll(conf);
    if (!stored) {
        check(after == before, "declined, yet the file changed");
        return 0;
    }
    QVariantMap was = keys(dir, before), is = keys(dir, after);
    was.remove(QStringLiteral("Settings/Duration"));
    check(is.take(QStringLiteral("Settings/Duration")).toString() == kDate,
          "QSettings does not read the date");
    check(serialized(was) == serialized(is), "QSettings reads another key differently");
    check(platform::userSettings()->date() == kDate, "the store does not read the date");
    qsizetype first = 0, last = 0;
    while (first < before.size() && first < after.size() && before[first] == after[first])
        ++first;
    while (last < before.size() - first && last < after.size() - first
           && before[before.size() - 1 - last] == after[after.size() - 1 - last])
        ++last;
    check(!before.mid(first, before.size() - first - last).contains('\n'),
          "more than one line replaced");
    return 0;
}

#ifdef XELT_REPLAY
// Without libFuzzer: each file of the folders named, once.
int main(int argc, char **argv)
{
    int inputs = 0;
    for (int i = 1; i < argc; ++i)
        for (const QString &path : QDir(QFile::decodeName(argv[i])).entryList(QDir::Files)) {
            const QByteArray input = readAll(QDir(QFile::decodeName(argv[i])).filePath(path));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()),
                                   size_t(input.size()));
            ++inputs;
        }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
#endif
