// The supplier-invoice window through its widgets, against a company database of the test's own.
#include "excise_world.h"

#include "excise/u_fEmcsFacturiFurnizor.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

using namespace excise_test;

namespace {

const QString supplierNumber = QStringLiteral("emcs_partener_cod_acciza_depozit");
const QString references = QStringLiteral(
    "select data_doc, tip_doc, nr_doc, partener, data_doc_ue_baza, tip_doc_ue_baza, nr_doc_ue_baza, "
    "emcs_eu_cod_acciza_depozit, emcs_partener_cod_acciza_depozit from doc order by data_doc, tip_doc, nr_doc");
const QStringList referenceColumns = QStringLiteral("data_doc tip_doc nr_doc partener data_doc_ue_baza "
                                                    "tip_doc_ue_baza nr_doc_ue_baza emcs_eu_cod_acciza_depozit "
                                                    "emcs_partener_cod_acciza_depozit")
                                         .split(QLatin1Char(' '));

QString sqlText(const char *text)
{
    return text ? QLatin1Char('\'') + QString::fromUtf8(text) + QLatin1Char('\'') : QStringLiteral("null");
}

struct Invoice {
    int day;                // days after the server's current date
    const char *type, *number, *partner;
    const char *baseKind = "eDA";
    const char *supplier = nullptr;
    QList<int> categories = {10};   // acciza_id of each line; 0 for a line without excise goods
};

void addInvoices(TestDatabase &db, std::initializer_list<Invoice> invoices)
{
    for (const Invoice &i : invoices) {
        const QString date = QStringLiteral("current_date + %1").arg(i.day);
        db.exec(QStringLiteral("insert into doc (data_doc, tip_doc, nr_doc, partener, data_doc_ue_baza, "
                               "tip_doc_ue_baza, nr_doc_ue_baza, emcs_eu_cod_acciza_depozit, "
                               "emcs_partener_cod_acciza_depozit) values (%1, %2, %3, %4, %1 - 2, %5, 'ARC-%6', "
                               "'RO0012345DI01', %7)")
                    .arg(date, sqlText(i.type), sqlText(i.number), sqlText(i.partner), sqlText(i.baseKind),
                         QString::fromUtf8(i.number), sqlText(i.supplier)));
        int line = 0;
        for (int category : i.categories)
            db.exec(QStringLiteral("insert into doc_poz (data_doc, tip_doc, nr_doc, scv, acciza_id) "
                                   "values (%1, %2, %3, %4, %5)")
                        .arg(date, sqlText(i.type), sqlText(i.number))
                        .arg(++line)
                        .arg(category ? QString::number(category) : QStringLiteral("null")));
    }
}

QDate serverToday(TestDatabase &db)
{
    return QDate::fromString(db.scalar("select current_date"), Qt::ISODate);
}

// Empties the start-date editor with Ctrl+Delete and types the date's digits into it as the clerk
// does: each full section moves on to the next.
void typeStartDate(TfEmcsFacturiFurnizor &w, const QDate &date)
{
    QTest::keyClick(w.cxDateEditDataIncep, Qt::Key_Delete, Qt::ControlModifier);
    if (date.isValid()) {
        QString digitsOnly = w.cxDateEditDataIncep->displayFormat();
        digitsOnly.remove(QRegularExpression(QStringLiteral("[^dMy]")));
        QTest::keyClicks(w.cxDateEditDataIncep, date.toString(digitsOnly));
    }
}

int rowOf(DataGridView *grid, const QString &number)
{
    return int(shownColumn(grid, QStringLiteral("nr_doc")).indexOf(number));
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

TEST(SupplierInvoices, LaidOutAsDefined)
{
    World world;
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);

    EXPECT_EQ(w.windowTitle(), "fEmcsFacturiFurnizor");
    EXPECT_EQ(w.size(), QSize(1236, 585));
    EXPECT_EQ(w.Label1->text(), "Facturi furnizor cu produse accizabile");
    EXPECT_TRUE(w.Label1->font().bold());
    EXPECT_EQ(w.Label1->font().pixelSize(), 16);
    EXPECT_EQ(w.Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(w.Label2->text(), "Incepand cu data");
    EXPECT_EQ(w.ButtonCauta->text(), "Cauta");
    EXPECT_TRUE(w.cxDateEditDataIncep->calendarPopup());

    const struct {
        QWidget *widget;
        QRect before, after;    // after the window grew by 100 by 50
    } places[] = {
        {w.Label1, {8, 8, w.Label1->width(), w.Label1->height()}, {8, 8, w.Label1->width(), w.Label1->height()}},
        {w.Label2, {8, 38, w.Label2->width(), w.Label2->height()}, {8, 38, w.Label2->width(), w.Label2->height()}},
        {w.cxDateEditDataIncep, {105, 35, 89, 23}, {105, 35, 89, 23}},
        {w.ButtonCauta, {200, 34, 75, 25}, {200, 34, 75, 25}},
        {w.cxGrid1, {8, 66, 1220, 511}, {8, 66, 1320, 561}},
    };
    for (const auto &p : places)
        EXPECT_EQ(p.widget->geometry(), p.before) << p.widget->objectName().toStdString();
    // A hidden window is resized only when it is shown.
    w.show();
    w.resize(1336, 635);
    for (const auto &p : places)
        EXPECT_EQ(p.widget->geometry(), p.after) << p.widget->objectName().toStdString();

    const struct {
        const char *caption;
        int width;
        bool editable;
    } columns[] = {
        {"dataDoc", 69, false},          {"tipDoc", 55, false},           {"nrDoc", 100, false},
        {"partener", 282, false},        {"dataDocUE", 78, true},         {"tipDocUE", 80, true},
        {"nrDocUE", 158, true},          {"nrAutorizatieEu", 110, true},  {"nrAutorizatieFurn", 110, true},
        {"nir", 144, false},
    };
    ASSERT_EQ(w.cxGrid1->model()->columnCount(), int(std::size(columns)));
    for (int c = 0; c < int(std::size(columns)); ++c) {
        EXPECT_EQ(w.cxGrid1->model()->headerData(c, Qt::Horizontal).toString(), columns[c].caption);
        EXPECT_EQ(w.cxGrid1->tableView()->horizontalHeader()->sectionSize(c), columns[c].width) << columns[c].caption;
        EXPECT_EQ(w.cxGrid1->model()->isEditable(c), columns[c].editable) << columns[c].caption;
    }

    // Tab from "Cauta" goes to the grid, then to the start date, then back to "Cauta".
    QStringList order;
    for (QWidget *next = w.ButtonCauta->nextInFocusChain(); next != w.ButtonCauta; next = next->nextInFocusChain()) {
        if (!(next->focusPolicy() & Qt::TabFocus) || next->focusProxy())
            continue;
        QString part = next->objectName();
        if (w.cxGrid1->isAncestorOf(next))
            part = "grid";
        else if (next == w.cxDateEditDataIncep || w.cxDateEditDataIncep->isAncestorOf(next))
            part = "date";
        if (order.isEmpty() || order.last() != part)
            order << part;
    }
    EXPECT_EQ(order, QStringList({"grid", "date"}));
}

TEST(SupplierInvoices, TheStartDateIsTheFirstOfTheMonthThirtyDaysBack)
{
    World world;
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
    const struct {
        QDate today, start;
    } cases[] = {
        {{2025, 10, 15}, {2025, 9, 1}},
        {{2025, 3, 31}, {2025, 3, 1}},
        {{2025, 3, 30}, {2025, 2, 1}},
        {{2025, 1, 10}, {2024, 12, 1}},
    };
    for (const auto &c : cases) {
        w.today = [&] { return c.today; };
        w.show();
        EXPECT_EQ(w.cxDateEditDataIncep->value(), c.start) << c.today.toString(Qt::ISODate).toStdString();
        w.close();
    }
    EXPECT_EQ(world.errors, QStringList());
}

TEST(SupplierInvoices, TheListHoldsTheExciseInvoicesFromTheStartDateToTheServersToday)
{
    World world;
    addInvoices(world.db, {
                              {-21, "FactFI", "FI-0", "P"},
                              {-20, "FactFI", "FI-1", "P"},
                              {-10, "FactFI", "FI-2", "P", "eDA", nullptr, {0, 20}},
                              {-10, "FactFI", "FI-10", "P", "VAMA"},
                              {-10, "FactFE", "FE-1", "P"},
                              {-10, "FactFI", "FI-3", "P", "eDA", nullptr, {0}},
                              {-10, "FactFI", "FI-4", "P", "eDA", nullptr, {}},
                              {-10, "FactC", "C-1", "P"},
                              {-10, "NIR", "NIR-9", "P"},
                              {0, "FactFI", "FI-6", nullptr, nullptr},
                              {1, "FactFI", "FI-5", "P"},
                          });
    world.db.exec("update doc set data_anulare = current_date - 5 where nr_doc = 'FE-1'");
    world.db.exec("insert into doc_creare values "
                  "(current_date - 10, 'NIR', 'NIR-1', current_date - 10, 'FactFI', 'FI-2'), "
                  "(current_date - 8, 'NIR', 'NIR-2', current_date - 10, 'FactFI', 'FI-2'), "
                  "(current_date - 7, 'RetF', 'RF-1', current_date - 10, 'FactFI', 'FI-2'), "
                  "(current_date - 6, 'NIR', 'NIR-3', current_date - 10, 'FactFE', 'FE-1')");
    const QDate today = serverToday(world.db);
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
    w.show();
    EXPECT_EQ(w.cxGrid1->model()->rowCount(), 0);

    const struct {
        const char *label;
        QDate start;
        QStringList listed;
    } cases[] = {
        {"twenty days back",
         today.addDays(-20),
         {"FactFI FI-1", "FactFE FE-1", "FactFI FI-10", "FactFI FI-2", "FactFI FI-6"}},
        {"today", today, {"FactFI FI-6"}},
        {"no date", {}, {}},
    };
    for (const auto &c : cases) {
        typeStartDate(w, c.start);
        ASSERT_EQ(w.cxDateEditDataIncep->value(), c.start) << c.label;
        QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
        QStringList listed;
        for (int row = 0; row < w.cxGrid1->model()->rowCount(); ++row)
            listed << shown(w.cxGrid1, row, "tip_doc") + ' ' + shown(w.cxGrid1, row, "nr_doc");
        EXPECT_EQ(listed, c.listed) << c.label;
    }
    EXPECT_EQ(world.errors, QStringList());

    typeStartDate(w, today.addDays(-20));
    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
    // A note shows as the server's text of its date, a blank and its number.
    const auto note = [&](int day, const char *number) {
        return today.addDays(day).toString(Qt::ISODate) + ' ' + number;
    };
    EXPECT_EQ(shown(w.cxGrid1, rowOf(w.cxGrid1, "FI-1"), "nir"), "");
    EXPECT_EQ(shown(w.cxGrid1, rowOf(w.cxGrid1, "FE-1"), "nir"), note(-6, "NIR-3"));
    EXPECT_EQ(sorted(shown(w.cxGrid1, rowOf(w.cxGrid1, "FI-2"), "nir").split(", ")),
              QStringList({note(-10, "NIR-1"), note(-8, "NIR-2")}));
    EXPECT_EQ(shown(w.cxGrid1, rowOf(w.cxGrid1, "FI-1"), "data_doc"), today.addDays(-20).toString("dd.MM.yyyy"));
}

TEST(SupplierInvoices, AnEditedReferenceReachesThatInvoiceAndAClearedOneIsStoredAsNull)
{
    World world;
    addInvoices(world.db, {
                              {-3, "FactFI", "FI-1", "Alfa", "eDA", "DE-1"},
                              {-2, "FactFI", "FI-2", "Alfa", "eDA", "DE-2"},
                              {-1, "FactFE", "FE-1", "Beta", "VAMA", "UK-1"},
                          });
    world.db.exec("insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) "
                  "values ('RO0012345DI01', 'destinatar inregistrat')");
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
    w.show();
    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
    ASSERT_EQ(w.cxGrid1->model()->rowCount(), 3);

    const struct {
        const char *number, *field, *typed, *stored;
    } cases[] = {
        {"FI-2", "tip_doc_ue_baza", "", "<null>"},
        {"FI-2", "emcs_eu_cod_acciza_depozit", "", "<null>"},
        {"FI-2", "emcs_partener_cod_acciza_depozit", "", "<null>"},
        {"FE-1", "tip_doc_ue_baza", "eDA", "eDA"},
        {"FI-1", "emcs_eu_cod_acciza_depozit", "RO0099999XX99", "RO0099999XX99"},
        {"FE-1", "emcs_partener_cod_acciza_depozit", "GB00012345", "GB00012345"},
        {"FI-1", "nr_doc_ue_baza", "25DEABC0123456789012", "25DEABC0123456789012"},
    };
    for (const auto &c : cases) {
        QStringList expected = world.db.rows(references);
        for (QString &row : expected) {
            QStringList cells = row.split('|');
            if (cells[2] == c.number)
                cells[referenceColumns.indexOf(c.field)] = c.stored;
            row = cells.join('|');
        }
        typeIntoCell(w.cxGrid1, rowOf(w.cxGrid1, c.number), c.field, c.typed);
        // Leaving the row posts it.
        clickCell(w.cxGrid1, rowOf(w.cxGrid1, c.number) == 0 ? 1 : 0, "nr_doc");
        EXPECT_EQ(world.db.rows(references), expected) << c.number << ' ' << c.field << " \"" << c.typed << '"';
    }
    EXPECT_EQ(world.errors, QStringList());
}

TEST(SupplierInvoices, AFailedWriteIsShownInTheErrorBox)
{
    World world;
    addInvoices(world.db, {{-1, "FactFI", "FI-1", "Alfa"}});
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
    w.show();
    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
    world.db.exec("delete from doc");

    typeIntoCell(w.cxGrid1, 0, "nr_doc_ue_baza", "ARC-X");
    clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
    EXPECT_EQ(world.errors.size(), 1);
    EXPECT_EQ(w.dsDocFactF.state(), korvat::pg::Query::State::Edit);
    EXPECT_EQ(shown(w.cxGrid1, 0, "nr_doc_ue_baza"), "ARC-X");
}

TEST(SupplierInvoices, TheDropDownsOfferTheirProposals)
{
    World world;
    addInvoices(world.db, {{-1, "FactFI", "FI-1", "Alfa"}});
    world.db.exec("insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) values "
                  "('RO02', 'destinatar inregistrat'), ('RO01', 'Destinatar autorizat'), "
                  "('RO03', 'antrepozit fiscal')");
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
    w.show();
    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);

    EXPECT_EQ(dropDownEntries(w.cxGrid1, 0, "tip_doc_ue_baza"), QStringList({"eDA", "VAMA"}));
    EXPECT_EQ(dropDownEntries(w.cxGrid1, 0, "emcs_eu_cod_acciza_depozit"), QStringList({"RO01", "RO02"}));
    EXPECT_FALSE(w.dsEmcsAutorizatie.isOpen());

    // The authorisations are read anew at every show.
    world.db.exec("insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) values ('RO00', 'destinatar')");
    w.close();
    w.show();
    EXPECT_EQ(dropDownEntries(w.cxGrid1, 0, "emcs_eu_cod_acciza_depozit"), QStringList({"RO00", "RO01", "RO02"}));
    EXPECT_EQ(world.errors, QStringList());
}

TEST(SupplierInvoices, TheSupplierNumbersFollowTheCurrentRowsPartnerWithOneQueryPerRowChange)
{
    World world;
    addInvoices(world.db, {
                              {-5, "FactFI", "A1", "Alfa", "eDA", "AL-1"},
                              {-5, "FactFI", "A2", "Alfa", "eDA", "AL-2"},
                              {-5, "FactFI", "A3", "Alfa", "eDA", nullptr},
                              {-5, "FactFI", "A4", "Alfa", "eDA", "AL-1"},
                              {-5, "FactFI", "A5", "Alfa", "VAMA", "AL-V"},
                              {-5, "FactC", "A6", "Alfa", "eDA", "AL-C"},
                              {-5, "FactFI", "A7", "Alfa", "eDA", "AL-N", {0}},
                              {-400, "FactFE", "A8", "Alfa", "eDA", "AL-OLD"},
                              {-5, "FactFI", "B1", "Beta", "VAMA", "BE-V"},
                              {-5, "FactFI", "G1", "Gama", "eDA", "GA-1"},
                              {-5, "FactFI", "N1", nullptr, "eDA", "N-1"},
                          });
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
    int runs = 0;
    QObject::connect(&w.dsEmcsPartenerCodAccizaDepozit, &korvat::pg::Query::rowsReset, [&] {
        if (w.dsEmcsPartenerCodAccizaDepozit.isOpen())
            ++runs;
    });
    w.show();
    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
    ASSERT_EQ(shownColumn(w.cxGrid1, "nr_doc"), QStringList({"A1", "A2", "A3", "A4", "A5", "B1", "G1", "N1"}));
    EXPECT_EQ(runs, 1);

    const QStringList alfa = {"", "AL-1", "AL-2", "AL-OLD"};
    const struct {
        const char *number;
        QStringList entries;    // sorted: the server returns them in no defined order
    } cases[] = {
        {"B1", {}}, {"A3", alfa}, {"G1", {"GA-1"}}, {"N1", {}}, {"A5", alfa},
    };
    for (const auto &c : cases) {
        const int before = runs;
        const QStringList entries = dropDownEntries(w.cxGrid1, rowOf(w.cxGrid1, c.number), supplierNumber);
        EXPECT_EQ(sorted(entries), c.entries) << c.number;
        // Another cell of the same row is no row change.
        clickCell(w.cxGrid1, rowOf(w.cxGrid1, c.number), "nr_doc_ue_baza");
        EXPECT_EQ(runs - before, 1) << c.number;
    }
    EXPECT_FALSE(w.dsEmcsPartenerCodAccizaDepozit.isOpen());
    EXPECT_EQ(world.errors, QStringList());
}

TEST(SupplierInvoices, ShowingAgainResetsTheStartDateAndKeepsTheRowsUntilCauta)
{
    World world;
    addInvoices(world.db, {{-1, "FactFI", "FI-1", "Alfa"}});
    const QDate today = serverToday(world.db);
    TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
    w.today = [&] { return today; };
    w.show();
    const QDate start = w.cxDateEditDataIncep->value();
    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
    ASSERT_EQ(shownColumn(w.cxGrid1, "nr_doc"), QStringList({"FI-1"}));

    typeStartDate(w, today.addDays(-400));
    addInvoices(world.db, {{0, "FactFI", "FI-2", "Beta"}});
    w.close();
    w.show();
    EXPECT_EQ(w.cxDateEditDataIncep->value(), start);
    EXPECT_EQ(shownColumn(w.cxGrid1, "nr_doc"), QStringList({"FI-1"}));

    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
    EXPECT_EQ(shownColumn(w.cxGrid1, "nr_doc"), QStringList({"FI-1", "FI-2"}));
    EXPECT_EQ(world.errors, QStringList());
}
