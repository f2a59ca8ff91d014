// The SQL parameter scanner on arbitrary text: it must never crash or hang, and every parameter it
// reports is one the text holds, once.
#include "platform/pg/query.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const korvat::pg::ScannedSql scanned = korvat::pg::scanParameters(sql);

    // Every name is a real one, found once whatever its case, behind a colon of the text.
    if (scanned.names.size() > sql.count(QLatin1Char(':')))
        std::abort();
    for (qsizetype i = 0; i < scanned.names.size(); ++i) {
        if (scanned.names[i].isEmpty() || !sql.contains(QLatin1Char(':') + scanned.names[i]))
            std::abort();
        for (qsizetype j = 0; j < i; ++j)
            if (scanned.names[i].compare(scanned.names[j], Qt::CaseInsensitive) == 0)
                std::abort();
    }
    return 0;
}
