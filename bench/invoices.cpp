// The supplier-invoice window's path: moving the list's current row, each move refilling the partner
// proposals from the server.
#include "bench/scenarios.h"

#include "data/u_dmCon.h"
#include "excise/u_fEmcsFacturiFurnizor.h"

#include <QApplication>
#include <libpq-fe.h>
#include <memory>

namespace bench {

void invoiceScenarios(Context &c)
{
    const QString name = QStringLiteral("row_change");
    if (!c.wanted(name))
        return;

    QWidget menu;
    TdmCon dmCon{TdmCon::Settings{}};
    configure(dmCon, c.server);
    std::unique_ptr<TfEmcsFacturiFurnizor> window;
    try {
        window = std::make_unique<TfEmcsFacturiFurnizor>(dmCon, &menu);
        window->show();
        QCoreApplication::processEvents();
        // Every invoice of the data, which go back 300 days.
        window->cxDateEditDataIncep->setValue(QDate::currentDate().addDays(-400));
        window->ButtonCautaClick();
        QCoreApplication::processEvents();
    } catch (const std::exception &e) {
        c.skipped.push_back(name + QStringLiteral(": TfEmcsFacturiFurnizor is not usable yet: ")
                            + QString::fromUtf8(e.what()));
        return;
    }
    korvat::pg::Query &list = window->dsDocFactF;
    korvat::grid::DataGridView *grid = window->cxGrid1;
    if (list.recordCount() != c.sizes.invoices || grid->model()->rowCount() != c.sizes.invoices) {
        c.skipped.push_back(name + QStringLiteral(": the invoice list shows %1 of %2 invoices")
                                       .arg(grid->model()->rowCount()).arg(c.sizes.invoices));
        return;
    }
    const int moves = std::min(c.sizes.moves, c.sizes.invoices - 1);
    grid->first();
    QCoreApplication::processEvents();

    // The partner of each row the moves go to, down the list and back up again.
    const int partnerField = list.fieldIndex(QStringLiteral("partener"));
    std::vector<QByteArray> down, up;
    for (int r = 1; r <= moves; ++r)
        down.push_back(list.cell(r, partnerField).value_or(QString()).toUtf8());
    for (int r = moves - 1; r >= 0; --r)
        up.push_back(list.cell(r, partnerField).value_or(QString()).toUtf8());
    const QByteArray partnerSql = korvat::pg::scanParameters(window->dsEmcsPartenerCodAccizaDepozit.sql()).text;
    const QString supplierColumn = QStringLiteral("emcs_partener_cod_acciza_depozit");

    // A warm-up goes a tenth of the way down and back, where the row then is again.
    const int warmMoves = std::max(1, moves / 10);
    int korvatRuns = 0, baseRuns = 0;
    const Path korvat = [&] {
        if (warmingUp)
            return timed([&] {
                for (int i = 0; i < warmMoves; ++i)
                    grid->next();
                for (int i = 0; i < warmMoves; ++i)
                    grid->prior();
            });
        const bool goingDown = korvatRuns++ % 2 == 0;
        const double t = timed([&] {
            for (int i = 0; i < moves; ++i)
                goingDown ? grid->next() : grid->prior();
        });
        if (list.currentRow() != (goingDown ? moves : 0))
            throw std::runtime_error("the moves did not reach row " + std::to_string(goingDown ? moves : 0));
        QCoreApplication::processEvents();
        return t;
    };
    const Path libpq = [&] {
        std::vector<QByteArray> partners = warmingUp ? std::vector<QByteArray>() : baseRuns++ % 2 == 0 ? down : up;
        if (warmingUp) {
            partners.assign(down.begin(), down.begin() + warmMoves);
            partners.insert(partners.end(), up.end() - warmMoves, up.end());
        }
        return timed([&] {
            unsigned long long total = 0;
            for (const QByteArray &partner : partners) {
                const Conn conn = connectLikeTheProgram(c.server);
                const char *values[1] = {partner.constData()};
                Result result(PQexecParams(conn.get(), partnerSql.constData(), 1, nullptr, values, nullptr, nullptr, 0));
                if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
                    throw std::runtime_error(std::string("baseline partner query failed: ")
                                             + PQresultErrorMessage(result.get()));
                for (int r = 0; r < PQntuples(result.get()); ++r)
                    total += quint64(PQgetlength(result.get(), r, 1)) + *PQgetvalue(result.get(), r, 1);
            }
            sink = sink + total;
        });
    };
    c.figures.push_back(compare(name, QStringLiteral("s"), 1.1,
                                QStringLiteral("libpq per move: connect, the partner query, read, finish"), c.plan,
                                korvat, libpq));

    // The proposals are those of the current row's partner, as the server has them.
    const QByteArray partner = list.cell(list.currentRow(), partnerField).value_or(QString()).toUtf8();
    const Conn conn = connectLikeTheProgram(c.server);
    const char *values[1] = {partner.constData()};
    Result result(PQexecParams(conn.get(), partnerSql.constData(), 1, nullptr, values, nullptr, nullptr, 0));
    QStringList expected;
    for (int r = 0; r < PQntuples(result.get()); ++r)
        expected << QString::fromUtf8(PQgetvalue(result.get(), r, 1));
    if (grid->comboItems(supplierColumn) != expected)
        throw std::runtime_error("the partner proposals are not those of the current row's partner");
    window->hide();
}

} // namespace bench
