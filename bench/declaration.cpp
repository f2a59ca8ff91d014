// The declaration window's path: one generation, both executions of the server function and the
// file written where the clerk chose.
#include "bench/scenarios.h"

#include "data/u_dmCon.h"
#include "declarations/u_fEmcsDeclA47.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <libpq-fe.h>
#include <memory>

namespace bench {

void declarationScenarios(Context &c)
{
    const QString name = QStringLiteral("declaration");
    if (!c.wanted(name))
        return;

    QTemporaryDir folder;
    const QString korvatFile = folder.filePath(QStringLiteral("korvat.xml"));
    const QString baseFile = folder.filePath(QStringLiteral("libpq.xml"));
    const QDate day(2024, 7, 15);

    QWidget menu;
    TdmCon dmCon{TdmCon::Settings{}};
    configure(dmCon, c.server);
    std::unique_ptr<TfEmcsDeclA47> window;
    try {
        window = std::make_unique<TfEmcsDeclA47>(dmCon, &menu);
        window->today = [day] { return day; };
        window->machineFolder = [&folder] { return folder.path(); };
        window->SaveDialog1->answer = [korvatFile](const korvat::declarations::SaveDialog &) {
            return std::optional<QString>(korvatFile);
        };
        window->show();
        QCoreApplication::processEvents();
        const int item = window->cxComboBoxCodEuAcciza->findText(QLatin1String(authorisation));
        if (item < 0)
            throw std::runtime_error("the authorisation is not offered");
        window->cxComboBoxCodEuAcciza->setCurrentIndex(item);
    } catch (const std::exception &e) {
        c.skipped.push_back(name + QStringLiteral(": TfEmcsDeclA47 is not usable yet: ") + QString::fromUtf8(e.what()));
        return;
    }

    const QByteArray sql = "SELECT * FROM o_emcs_xml_anexa19($1, $2)";
    const QByteArray date = day.toString(Qt::ISODate).toUtf8();
    const Path korvat = [&] {
        QFile::remove(korvatFile);
        const double t = timed([&] { window->ButtonGenerareXmlDecl47Click(); });
        if (!QFile::exists(korvatFile))
            throw std::runtime_error("the window wrote no declaration");
        return t;
    };
    // One connection for both executions: what a program of its own would do.
    const Path libpq = [&] {
        QFile::remove(baseFile);
        return timed([&] {
            Result rows;
            {
                const Conn conn = connectLikeTheProgram(c.server);
                const char *values[2] = {date.constData(), authorisation};
                const unsigned int dateType[2] = {1082, 0};
                Result first(PQexecParams(conn.get(), sql.constData(), 2, dateType, values, nullptr, nullptr, 0));
                if (PQresultStatus(first.get()) != PGRES_TUPLES_OK)
                    throw std::runtime_error(std::string("baseline declaration failed: ") + PQresultErrorMessage(first.get()));
                first.reset();
                rows.reset(PQexecParams(conn.get(), sql.constData(), 2, nullptr, values, nullptr, nullptr, 0));
                if (PQresultStatus(rows.get()) != PGRES_TUPLES_OK)
                    throw std::runtime_error(std::string("baseline declaration failed: ") + PQresultErrorMessage(rows.get()));
            }
            FILE *file = std::fopen(baseFile.toLocal8Bit().constData(), "wb");
            if (!file)
                throw std::runtime_error("cannot create the baseline's file");
            std::fwrite("\xEF\xBB\xBF", 1, 3, file);
            const int n = PQntuples(rows.get());
            for (int r = 0; r < n; ++r) {
                std::fwrite(PQgetvalue(rows.get(), r, 0), 1, size_t(PQgetlength(rows.get(), r, 0)), file);
                std::fwrite("\r\n", 1, 2, file);
            }
            if (std::fclose(file) != 0)
                throw std::runtime_error("cannot write the baseline's file");
        });
    };
    c.figures.push_back(compare(name, QStringLiteral("s"), 1.1,
                                QStringLiteral("libpq: connect, the function twice, finish, fwrite of the rows"), c.plan,
                                korvat, libpq));

    // Both wrote the same declaration.
    QFile a(korvatFile), b(baseFile);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        throw std::runtime_error("a declaration file is missing");
    if (a.readAll() != b.readAll())
        throw std::runtime_error("the window's declaration differs from the baseline's");
    window->hide();
}

} // namespace bench
