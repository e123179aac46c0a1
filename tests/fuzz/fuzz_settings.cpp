// Any settings file, the date stored into it: QSettings then reads the date,
// and every other key as before. Where the store declined, nothing changed.
#include "platform/settings.h"

#include <QDataStream>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
const QString kKey = QStringLiteral("Settings/Duration"), kDate = QStringLiteral("2027-01-03");

// The store syncs each write: in memory, where there is such a folder.
const QTemporaryDir home(QDir(QStringLiteral("/dev/shm")).exists()
                             ? QStringLiteral("/dev/shm/xelt-fuzz-XXXXXX")
                             : QDir::tempPath() + QStringLiteral("/xelt-fuzz-XXXXXX"));

// Serialized, so that even a value unequal to itself (NaN) compares. Each text
// has a name of its own: QSettings takes a name it has read before as unchanged
// while its size and time are.
QByteArray keys(const QByteArray &text, const QString &date)
{
    static int count = 0;
    QFile file(home.filePath(QString::number(++count)));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        std::abort();
    file.close();
    QVariantMap read;
    for (const QSettings ini(file.fileName(), QSettings::IniFormat);
         const QString &key : ini.allKeys())
        read.insert(key, ini.value(key));
    read.insert(kKey, date.isNull() ? read.value(kKey).toString() : date);
    file.remove();
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << read;
    return bytes;
}
} // namespace

// QSettings keeps what it read for later: no leak, and a search for leaks
// after every run would take most of the time.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool pointed = qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    const QByteArray before(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile conf(home.filePath(QStringLiteral("xelt-ombrel-astrology.conf")));
    if (!pointed || !conf.open(QIODevice::WriteOnly) || conf.write(before) != before.size())
        std::abort();
    conf.close();
    const bool stored = platform::userSettings()->setDate(kDate);
    const QByteArray after = conf.open(QIODevice::ReadOnly) ? conf.readAll() : QByteArray();
    if (stored ? keys(after, QString()) != keys(before, kDate) : after != before)
        std::abort(); // the input is kept as a failure
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
