// The last-login file loader on arbitrary bytes: it loads or raises its error, and either way the
// table is left usable, with at most one row whose values fit their fields.
#include "platform/memtable/memtable.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_lastlogin";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZubPirel.json"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    korvat::memtable::MemTable table(QStringLiteral("dsLogin"));
    table.addStringField(QStringLiteral("company"), 200);
    table.addStringField(QStringLiteral("username"), 200);
    try {
        table.loadFromFile(path);
    } catch (const std::exception &) {
        if (table.recordCount() != 0)
            std::abort();
    }
    if (!table.isOpen())
        std::abort();
    if (table.value(QStringLiteral("company")).size() > 200 || table.value(QStringLiteral("username")).size() > 200)
        std::abort();
    table.setValue(QStringLiteral("company"), QStringLiteral("x"));
    table.saveToFile(path);
    return 0;
}
