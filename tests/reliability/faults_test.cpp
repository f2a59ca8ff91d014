// Faults of the servers and of other users, met through the real windows: what the clerk sees, and
// that nothing the clerk typed is lost once the fault is over. The faults that stop a server run on
// a server of this test's own, so that a parallel run of the other tests does not see it stop.
#include "reliability_world.h"

#include "data/login_world.h"
#include "declarations/u_fEmcsDeclA47.h"
#include "excise/excise_world.h"
#include "excise/u_fEmcsArticole.h"
#include "excise/u_fEmcsFacturiFurnizor.h"
#include "platform/pg/error.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QThread>

using namespace reliability;
using excise_test::clickCell;
using excise_test::clickNavigator;
using excise_test::shown;
using excise_test::typeIntoCell;
using korvat::forms::Application;
using korvat::forms::Dialog;
using korvat::grid::GridNavigator;
using korvat::pg::Query;
using korvat::test::TestDatabase;

namespace {

const QString changedByOther = Application::errorText(QString::fromLatin1(korvat::pg::texts::rowChangedByOther));

void addArticles(TestDatabase &db)
{
    db.exec("insert into articol (articol, um, cod_nc, grad_alcoolic) values "
            "('Bere 0.5L', 'buc', '22030001', 5), ('Vin 0.75L', 'buc', '22042179', 12.5)");
}

QString article(TestDatabase &db, const char *column, const char *name)
{
    return db.scalar(QStringLiteral("select coalesce(%1::text, '<null>') from articol where articol = '%2'")
                         .arg(QLatin1String(column), QLatin1String(name)));
}

int articleRow(TfEmcsArticole &w, const char *name)
{
    return int(excise_test::shownColumn(w.cxGrid1, QStringLiteral("articol")).indexOf(QLatin1String(name)));
}

// A supplier invoice of yesterday with one excise line, so that the window lists it.
void addInvoice(TestDatabase &db, const char *number)
{
    db.exec(QStringLiteral("insert into doc (data_doc, tip_doc, nr_doc, partener, tip_doc_ue_baza, nr_doc_ue_baza) "
                           "values (current_date - 1, 'FactFI', '%1', 'Alfa', 'eDA', 'ARC-0')").arg(QLatin1String(number)));
    db.exec(QStringLiteral("insert into doc_poz (data_doc, tip_doc, nr_doc, scv, acciza_id) "
                           "values (current_date - 1, 'FactFI', '%1', 1, 10)").arg(QLatin1String(number)));
}

QString invoice(TestDatabase &db, const char *column)
{
    return db.scalar(QStringLiteral("select coalesce(%1, '<null>') from doc").arg(QLatin1String(column)));
}

void search(TfEmcsFacturiFurnizor &w)
{
    QTest::mouseClick(w.ButtonCauta, Qt::LeftButton);
}

bool refused(const QString &error)
{
    return error.contains(QLatin1String("Connection refused"));
}

// The backend of a connection has gone once pg_stat_activity no longer lists it (two seconds at most).
void waitUntilGone(TestDatabase &db, int pid)
{
    const QString sql = QStringLiteral("select count(*) from pg_stat_activity where pid = %1").arg(pid);
    for (int i = 0; i < 100 && db.scalar(sql) != QLatin1String("0"); ++i)
        QThread::msleep(20);
}

struct Fault {
    const char *fault;
    const char *expected;
    void (*run)(PrivateServer &server);
};

const Fault faults[] = {
    {"company server stopped, then an article posted",
     "the connection error is shown and the row stays in editing with the typed value; after the restart "
     "posting stores it, and the article posted before the stop keeps its value",
     [](PrivateServer &server) {
         excise_test::World world;
         addArticles(world.db);
         TfEmcsArticole w(world.dmCon, nullptr);
         w.show();
         typeIntoCell(w.cxGrid1, articleRow(w, "Bere 0.5L"), "cod_nc", "22030009");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         ASSERT_EQ(world.errors, QStringList());

         server.halt();
         typeIntoCell(w.cxGrid1, articleRow(w, "Vin 0.75L"), "cod_nc", "22042170");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         ASSERT_EQ(world.errors.size(), 1);
         EXPECT_TRUE(refused(world.errors[0])) << world.errors[0].toStdString();
         EXPECT_EQ(w.dsArticol.state(), Query::State::Edit);
         EXPECT_EQ(shown(w.cxGrid1, articleRow(w, "Vin 0.75L"), "cod_nc"), "22042170");

         server.resume();
         reconnectAfterRestart(world.db);
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         EXPECT_EQ(world.errors.size(), 1);
         EXPECT_EQ(w.dsArticol.state(), Query::State::Browse);
         EXPECT_EQ(article(world.db, "cod_nc", "Vin 0.75L"), "22042170");
         EXPECT_EQ(article(world.db, "cod_nc", "Bere 0.5L"), "22030009");
     }},
    {"company server stopped, then the invoice list reloaded",
     "the connection error is shown and the list keeps its rows; after the restart Cauta lists the invoices "
     "anew",
     [](PrivateServer &server) {
         excise_test::World world;
         addInvoice(world.db, "FI-1");
         TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
         w.show();
         search(w);
         addInvoice(world.db, "FI-2");

         server.halt();
         search(w);
         ASSERT_EQ(world.errors.size(), 1);
         EXPECT_TRUE(refused(world.errors[0])) << world.errors[0].toStdString();
         EXPECT_EQ(excise_test::shownColumn(w.cxGrid1, "nr_doc"), QStringList{"FI-1"});

         server.resume();
         search(w);
         EXPECT_EQ(world.errors.size(), 1);
         EXPECT_EQ(excise_test::shownColumn(w.cxGrid1, "nr_doc"), QStringList({"FI-1", "FI-2"}));
     }},
    {"company server stopped, then a declaration generated",
     "the connection error is shown, no save dialog opens and the link keeps its text; after the restart "
     "the same press writes the file",
     [](PrivateServer &server) {
         excise_test::World world;
         world.db.exec("insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) "
                       "values ('RO0012345DI01', 'destinatar inregistrat')");
         QTemporaryDir folder;
         TfEmcsDeclA47 w(world.dmCon, nullptr);
         w.machineFolder = [&] { return folder.path(); };
         int dialogs = 0;
         w.SaveDialog1->answer = [&](const korvat::declarations::SaveDialog &dialog) {
             ++dialogs;
             return std::optional<QString>(dialog.fileName());
         };
         w.show();
         w.cxComboBoxCodEuAcciza->setCurrentIndex(0);

         server.halt();
         QTest::mouseClick(w.ButtonGenerareXmlDecl47, Qt::LeftButton);
         ASSERT_EQ(world.errors.size(), 1);
         EXPECT_TRUE(refused(world.errors[0])) << world.errors[0].toStdString();
         EXPECT_EQ(dialogs, 0);
         EXPECT_EQ(w.LabelPathSave->text(), "");

         server.resume();
         QTest::mouseClick(w.ButtonGenerareXmlDecl47, Qt::LeftButton);
         EXPECT_EQ(world.errors.size(), 1);
         EXPECT_EQ(dialogs, 1);
         EXPECT_TRUE(QFileInfo(w.LabelPathSave->text()).size() > 3) << w.LabelPathSave->text().toStdString();
     }},
    {"server stopped while an article's post waits at the server",
     "the server's error is shown and the row stays in editing with the typed value; after the restart "
     "posting stores it",
     [](PrivateServer &server) {
         excise_test::World world;
         addArticles(world.db);
         TfEmcsArticole w(world.dmCon, nullptr);
         w.show();
         // Another session holds the row, so that the program's UPDATE waits for it; the server is
         // stopped as soon as the wait shows (within 15 seconds).
         world.db.exec("begin");
         world.db.exec("select * from articol where articol = 'Bere 0.5L' for update");
         QProcess halter;
         halter.start(QStringLiteral("bash"),
                      {QStringLiteral("-c"),
                       QStringLiteral("for i in $(seq 150); do "
                                      "  n=$(\"$0\" psql \"$1\" postgres -tAc 'select count(*) from pg_locks where not granted'); "
                                      "  [ \"$n\" != 0 ] && break; sleep 0.1; "
                                      "done; \"$0\" halt \"$1\""),
                       QStringLiteral(KORVAT_SOURCE_DIR "/scripts/pg-sandbox"), server.dir()});
         ASSERT_TRUE(halter.waitForStarted());
         typeIntoCell(w.cxGrid1, articleRow(w, "Bere 0.5L"), "cod_nc", "22030009");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         ASSERT_TRUE(halter.waitForFinished(60'000));
         ASSERT_EQ(world.errors.size(), 1);
         EXPECT_FALSE(refused(world.errors[0])) << "the post did not reach the server: " << world.errors[0].toStdString();
         EXPECT_EQ(w.dsArticol.state(), Query::State::Edit);
         EXPECT_EQ(shown(w.cxGrid1, articleRow(w, "Bere 0.5L"), "cod_nc"), "22030009");

         server.resume();
         reconnectAfterRestart(world.db);
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         EXPECT_EQ(world.errors.size(), 1);
         EXPECT_EQ(article(world.db, "cod_nc", "Bere 0.5L"), "22030009");
     }},
    {"directory backend terminated between two presses of Login",
     "the second press logs in on a new directory connection, encrypted as the first",
     [](PrivateServer &) {
         login_test::World world;
         login_test::Session s(world);
         EXPECT_EQ(s.login("Firma", "ion", "wrong"), 0);
         const int pid = s.dmCon.conZubMob.backendPid();
         ASSERT_NE(pid, 0);
         world.directory.exec(QStringLiteral("select pg_terminate_backend(%1)").arg(pid));
         waitUntilGone(world.directory, pid);

         EXPECT_EQ(s.login("Firma", "ion", "secret"), Dialog::mrOk);
         EXPECT_EQ(world.errors, QStringList{"User, Password eronate."});
         const int again = s.dmCon.conZubMob.backendPid();
         EXPECT_NE(again, pid);
         EXPECT_EQ(world.directory.scalar(QStringLiteral("select ssl from pg_stat_ssl where pid = %1").arg(again)), "t");
     }},
    {"directory, then company server, accepts and never answers (time-out 2 s)",
     "each press ends after the time-out with libpq's \"timeout expired\"; the dialog stays and logs in once "
     "the servers answer",
     [](PrivateServer &) {
         SilentListener silent;
         login_test::World world;
         login_test::Session s(world);
         s.dmCon.conZubMob.setPort(silent.port());
         s.dmCon.conZubMob.setConnectTimeout(2);
         s.dmCon.conZub.setConnectTimeout(2);
         const auto timedPress = [&] {
             QElapsedTimer timer;
             timer.start();
             EXPECT_EQ(s.login("Firma", "ion", "secret"), 0);
             // libpq counts the time-out in whole seconds of the clock: between one and two seconds.
             EXPECT_GE(timer.elapsed(), 900);
             EXPECT_LT(timer.elapsed(), 10'000);
         };
         timedPress();
         world.directory.configure(s.dmCon.conZubMob);
         world.directory.exec(QStringLiteral("update m_firma set port = %1").arg(silent.port()));
         timedPress();
         ASSERT_EQ(world.errors.size(), 2);
         for (const QString &error : world.errors)
             EXPECT_TRUE(error.contains(QLatin1String("timeout expired"))) << error.toStdString();
         EXPECT_FALSE(s.dmCon.conZub.isConnected());

         world.directory.exec(QStringLiteral("update m_firma set port = %1").arg(world.erp.server().port));
         EXPECT_EQ(s.login("Firma", "ion", "secret"), Dialog::mrOk);
         EXPECT_EQ(world.errors.size(), 2);
     }},
    {"directory server without TLS",
     "libpq's \"SSL was required\" error; the directory connection stays closed, with no plain attempt after it",
     [](PrivateServer &) {
         login_test::World world(false, true);
         login_test::Session s(world);
         EXPECT_EQ(s.login("Firma", "ion", "secret"), 0);
         ASSERT_EQ(world.errors.size(), 1);
         EXPECT_TRUE(world.errors[0].contains(QLatin1String("SSL"))) << world.errors[0].toStdString();
         EXPECT_FALSE(s.dmCon.conZubMob.isConnected());
         EXPECT_EQ(s.dmCon.conZubMob.sslMode(), korvat::pg::SslMode::Require);
         EXPECT_EQ(s.dmCon.glDataBase, "");
     }},
    {"two clients post the same invoice cell",
     "the second post fails with the row-changed message and stays in editing with its value; the first "
     "value stays in the database and shows after cancel and Cauta",
     [](PrivateServer &) {
         excise_test::World world;
         addInvoice(world.db, "FI-1");
         TdmCon otherDm{TdmCon::Settings{}};
         world.db.configure(otherDm.conZub);
         TfEmcsFacturiFurnizor first(world.dmCon, nullptr);
         TfEmcsFacturiFurnizor second(otherDm, nullptr);
         for (TfEmcsFacturiFurnizor *w : {&first, &second}) {
             w->show();
             search(*w);
         }
         typeIntoCell(first.cxGrid1, 0, "nr_doc_ue_baza", "ARC-1");
         clickNavigator(first.cxGrid1, GridNavigator::Button::Post);
         typeIntoCell(second.cxGrid1, 0, "nr_doc_ue_baza", "ARC-2");
         clickNavigator(second.cxGrid1, GridNavigator::Button::Post);

         EXPECT_EQ(world.errors, QStringList{changedByOther});
         EXPECT_EQ(second.dsDocFactF.state(), Query::State::Edit);
         EXPECT_EQ(shown(second.cxGrid1, 0, "nr_doc_ue_baza"), "ARC-2");
         EXPECT_EQ(invoice(world.db, "nr_doc_ue_baza"), "ARC-1");
         clickNavigator(second.cxGrid1, GridNavigator::Button::Cancel);
         search(second);
         EXPECT_EQ(shown(second.cxGrid1, 0, "nr_doc_ue_baza"), "ARC-1");
     }},
    {"another program changed another column of the invoice",
     "the post succeeds; the database holds both changes",
     [](PrivateServer &) {
         excise_test::World world;
         addInvoice(world.db, "FI-1");
         TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
         w.show();
         search(w);
         world.db.exec("update doc set emcs_partener_cod_acciza_depozit = 'DE-OTHER'");
         typeIntoCell(w.cxGrid1, 0, "nr_doc_ue_baza", "ARC-3");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         EXPECT_EQ(world.errors, QStringList());
         EXPECT_EQ(w.dsDocFactF.state(), Query::State::Browse);
         EXPECT_EQ(invoice(world.db, "nr_doc_ue_baza || ' ' || emcs_partener_cod_acciza_depozit"), "ARC-3 DE-OTHER");
     }},
    {"invoice deleted by another program, then posted",
     "the row-changed message; the row stays in editing with the typed value, and cancel brings back what was "
     "read",
     [](PrivateServer &) {
         excise_test::World world;
         addInvoice(world.db, "FI-1");
         TfEmcsFacturiFurnizor w(world.dmCon, nullptr);
         w.show();
         search(w);
         world.db.exec("delete from doc");
         typeIntoCell(w.cxGrid1, 0, "nr_doc_ue_baza", "ARC-X");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         EXPECT_EQ(world.errors, QStringList{changedByOther});
         EXPECT_EQ(w.dsDocFactF.state(), Query::State::Edit);
         EXPECT_EQ(shown(w.cxGrid1, 0, "nr_doc_ue_baza"), "ARC-X");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Cancel);
         EXPECT_EQ(shown(w.cxGrid1, 0, "nr_doc_ue_baza"), "ARC-0");
     }},
    {"article deleted by another program, then deleted by the clerk",
     "the row-changed message; the row stays listed",
     [](PrivateServer &) {
         excise_test::World world;
         addArticles(world.db);
         TfEmcsArticole w(world.dmCon, nullptr);
         w.show();
         world.db.exec("delete from articol where articol = 'Vin 0.75L'");
         w.cxGrid1->confirmer = [](const QString &) { return true; };
         clickCell(w.cxGrid1, articleRow(w, "Vin 0.75L"), "um");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Delete);
         EXPECT_EQ(world.errors, QStringList{changedByOther});
         EXPECT_EQ(w.cxGrid1->model()->rowCount(), 2);
         EXPECT_GE(articleRow(w, "Vin 0.75L"), 0);
     }},
    {"the server refuses a value (longer than its column)",
     "the server's message; the row stays in editing with the typed value and the database is unchanged",
     [](PrivateServer &) {
         excise_test::World world;
         addArticles(world.db);
         world.db.exec("alter table articol alter column cod_nc type varchar(8)");
         TfEmcsArticole w(world.dmCon, nullptr);
         w.show();
         typeIntoCell(w.cxGrid1, articleRow(w, "Bere 0.5L"), "cod_nc", "220300012345");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         ASSERT_EQ(world.errors.size(), 1);
         EXPECT_TRUE(world.errors[0].contains(QLatin1String("too long"))) << world.errors[0].toStdString();
         EXPECT_EQ(w.dsArticol.state(), Query::State::Edit);
         EXPECT_EQ(shown(w.cxGrid1, articleRow(w, "Bere 0.5L"), "cod_nc"), "220300012345");
         EXPECT_EQ(article(world.db, "cod_nc", "Bere 0.5L"), "22030001");
     }},
    {"the server stores another value than typed (numeric(5,2) keeps 4.76 of 4.755)",
     "the grid shows the stored value, and the next post of that cell is no conflict with the clerk's own",
     [](PrivateServer &) {
         excise_test::World world;
         addArticles(world.db);
         world.db.exec("alter table articol alter column grad_alcoolic type numeric(5,2)");
         TfEmcsArticole w(world.dmCon, nullptr);
         w.show();
         typeIntoCell(w.cxGrid1, articleRow(w, "Bere 0.5L"), "grad_alcoolic", "4,755");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         EXPECT_EQ(shown(w.cxGrid1, articleRow(w, "Bere 0.5L"), "grad_alcoolic"), "4,76");
         typeIntoCell(w.cxGrid1, articleRow(w, "Bere 0.5L"), "grad_alcoolic", "5,5");
         clickNavigator(w.cxGrid1, GridNavigator::Button::Post);
         EXPECT_EQ(world.errors, QStringList());
         EXPECT_EQ(article(world.db, "grad_alcoolic", "Bere 0.5L"), "5.50");
     }},
};

} // namespace

TEST(Faults, EachFaultEndsAsExpectedAndLosesNothing)
{
    PrivateServer server;
    ASSERT_TRUE(server.ready()) << server.failure().toStdString();
    for (const Fault &f : faults) {
        SCOPED_TRACE(std::string(f.fault) + " -> " + f.expected);
        f.run(server);
    }
}
