// The password stays in the program's memory, values reach the server only as bound parameters and
// the names the data-access layer writes into SQL are quoted.
#include "reliability_world.h"

#include "data/login_world.h"
#include "excise/excise_world.h"
#include "excise/u_fEmcsArticole.h"
#include "platform/pg/query.h"

#include <QDirIterator>
#include <QUuid>

using namespace reliability;
using korvat::forms::Dialog;
using korvat::pg::FieldKind;
using korvat::test::TestDatabase;
using korvat::test::sqlLiteral;

namespace {

QByteArray serverLog()
{
    QFile data(korvat::test::sandbox(true).dir + QStringLiteral("/data"));
    if (!data.open(QIODevice::ReadOnly))
        return {};
    QFile log(QString::fromUtf8(data.readAll().trimmed()) + QStringLiteral("/log"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

// Every byte of every file below folder.
QByteArray filesBelow(const QString &folder)
{
    QByteArray all;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
    return all;
}

} // namespace

TEST(Security, ThePasswordReachesNoFileNoLogLineAndNoErrorText)
{
    const QString unique = QUuid::createUuid().toString(QUuid::Id128);
    const QString password = QStringLiteral("Pw-") + unique;
    const QString digest = TfrmLogin::passwordValue(QStringLiteral("HashSHA2"), password);
    const QString configured = QStringLiteral("Cfg-") + unique;     // a wrong password of conZub's own
    const QStringList secrets{password, digest, configured};

    LogCapture log;
    login_test::World world;
    korvat::pg::Connection::setApplicationName(world.title);
    login_test::Session s(world);
    world.erp.exec(QStringLiteral("update emitent set operator_parola = %1").arg(sqlLiteral(password)));

    EXPECT_EQ(s.login("Firma", "ion", password + "x"), 0);
    EXPECT_EQ(world.errors.value(0), "User, Password eronate.");

    // A server error on the statement that carries the password: the statement the server logs
    // holds the placeholder, not the value.
    world.erp.exec("alter table emitent rename to emitent_moved");
    EXPECT_EQ(s.login("Firma", "ion", password), 0);
    EXPECT_TRUE(world.errors.value(1).contains("relation \"emitent\" does not exist")) << world.errors.value(1).toStdString();
    world.erp.exec("alter table emitent_moved rename to emitent");
    const QByteArray logged = serverLog();
    EXPECT_TRUE(logged.contains("operator_parola = $2"));
    for (const QString &secret : secrets)
        EXPECT_FALSE(logged.contains(secret.toUtf8())) << "in the server's log: " << secret.toStdString();

    // A server error that quotes the refused value, for the password as typed and as its digest.
    world.erp.exec("alter table emitent alter column operator_parola type integer using null");
    EXPECT_EQ(s.login("Firma", "ion", password), 0);
    world.directory.exec("update m_firma set pw_hash_type = 'HashSHA2'");
    EXPECT_EQ(s.login("Firma", "ion", password), 0);
    // "invalid input syntax for type integer", or "out of range" for a digest that starts with ten digits.
    for (const QString &error : world.errors.mid(2, 2))
        EXPECT_TRUE(error.contains("\"***\"") && error.contains("for type integer")) << error.toStdString();
    world.directory.exec("update m_firma set pw_hash_type = null");
    world.erp.exec(QStringLiteral("alter table emitent alter column operator_parola type varchar(256) using %1").arg(sqlLiteral(password)));

    // The company server refuses conZub's own password.
    s.dmCon.conZub.setPassword(configured);
    EXPECT_EQ(s.login("Firma", "ion", password), 0);
    EXPECT_TRUE(world.errors.value(4).contains("password authentication failed")) << world.errors.value(4).toStdString();
    s.dmCon.conZub.setPassword(world.erp.server().password);

    EXPECT_EQ(s.login("Firma", "ion", password), Dialog::mrOk);
    EXPECT_EQ(world.errors.size(), 5);
    // The server knows each connection by the program's title.
    EXPECT_EQ(world.directory.scalar(QStringLiteral("select application_name from pg_stat_activity where pid = %1")
                                         .arg(s.dmCon.conZubMob.backendPid())),
              world.title);
    korvat::pg::Query probe(QStringLiteral("probe"), &s.dmCon.conZub);
    probe.setSql(QStringLiteral("select current_setting('application_name') as app"));
    probe.addFields({"app S0"});
    probe.open();
    EXPECT_EQ(probe.field("app").asString(), world.title);
    korvat::pg::Connection::setApplicationName({});

    const QByteArray files = filesBelow(world.home.path());
    EXPECT_FALSE(files.isEmpty());
    for (const QString &secret : secrets) {
        EXPECT_FALSE(files.contains(secret.toUtf8())) << "in a file: " << secret.toStdString();
        for (const QString &line : LogCapture::lines())
            EXPECT_FALSE(line.contains(secret)) << "in a log line: " << line.toStdString();
        for (const QString &error : world.errors)
            EXPECT_FALSE(error.contains(secret)) << "in an error: " << error.toStdString();
    }
}

TEST(Security, ValuesHoldingSqlAreStoredAsTypedAndGeneratedNamesAreQuoted)
{
    {
        excise_test::World world;
        world.db.exec("insert into articol (articol, um) values ('Bere 0.5L', 'buc'), ('Vin 0.75L', 'buc')");
        TfEmcsArticole w(world.dmCon, nullptr);
        w.show();
        const QString name = QStringLiteral("Bere'); delete from articol; --");
        const QString code = QStringLiteral("\"; drop table articol;");
        excise_test::typeIntoCell(w.cxGrid1, 0, "articol", name);
        excise_test::typeIntoCell(w.cxGrid1, 0, "cod_nc", code);
        excise_test::clickNavigator(w.cxGrid1, korvat::grid::GridNavigator::Button::Post);
        EXPECT_EQ(world.errors, QStringList());
        EXPECT_EQ(world.db.rows("select articol, coalesce(cod_nc, '<null>') from articol order by articol"),
                  QStringList({name + "|" + code, "Vin 0.75L|<null>"}));
    }

    // Names that only quoting keeps apart from SQL, and a table t that they would drop.
    TestDatabase db(TestDatabase::Kind::Empty);
    const QString table = QStringLiteral("Tabel; drop table t; --");
    const QString key = QStringLiteral("Cheie \"k\"");
    const QString column = QStringLiteral("Valoare; --");
    db.exec(R"(create table t (x integer))");
    db.exec(R"(create table "Tabel; drop table t; --" ("Cheie ""k""" integer primary key, "Valoare; --" text))");
    db.exec(R"(insert into "Tabel; drop table t; --" values (1, 'unu'), (2, 'doi'))");
    korvat::pg::Connection con(QStringLiteral("conTest"));
    db.configure(con);
    korvat::pg::Query q(QStringLiteral("dsT"), &con);
    q.setSql(QStringLiteral(R"(select * from "Tabel; drop table t; --" order by 1)"));
    q.addField({key, FieldKind::Integer});
    q.addField({column, FieldKind::Memo});
    q.setUpdateTable(table, {key});
    q.open();
    q.field(column).setValue(QStringLiteral("x'); drop table t; --"));
    q.post();
    q.moveTo(1);
    q.deleteRecord();
    EXPECT_EQ(db.rows(R"(select * from "Tabel; drop table t; --")"), QStringList{"1|x'); drop table t; --"});
    EXPECT_EQ(db.scalar("select count(*) from pg_tables where tablename = 't'"), "1");
}
