#include "platform/pg/error.h"
#include "platform/pg/query.h"
#include "platform/pg/storedfunction.h"
#include "support/sandbox.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace korvat::pg;
using korvat::test::TestDatabase;

namespace {

// A connection of the program's own kind on a fresh database with one small table.
struct Fixture : ::testing::Test {
    TestDatabase db{TestDatabase::Kind::Empty};
    Connection con{QStringLiteral("conTest")};

    void SetUp() override
    {
        db.configure(con);
        db.exec("create table t (id integer primary key, name varchar(20), amount double precision, "
                "day date, at timestamp, flag boolean, note text)");
        db.exec("insert into t values (1, 'unu', 0.1, '2026-03-31', '2026-03-31 10:20:30.5', true, ''),"
                " (2, 'doi', null, null, null, null, null), (3, 'trei', 1e300, '2025-01-10', null, false, 'x')");
    }

    std::unique_ptr<Query> tableQuery(const char *sql = "select * from t order by id")
    {
        auto q = std::make_unique<Query>(QStringLiteral("dsT"), &con);
        q->setSql(QString::fromUtf8(sql));
        q->addField({"id", FieldKind::Integer, 0, true});
        q->addField({"name", FieldKind::String, 20});
        q->addField({"amount", FieldKind::Float});
        q->addField({"day", FieldKind::Date});
        q->addField({"at", FieldKind::DateTime});
        q->addField({"flag", FieldKind::Boolean});
        q->addField({"note", FieldKind::Memo});
        q->setUpdateTable(QStringLiteral("t"), {QStringLiteral("id")});
        return q;
    }
};

QString errorOf(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const Error &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST_F(Fixture, ReadsTypedValuesAndKeepsNullApartFromEmptyText)
{
    auto q = tableQuery();
    q->open();
    ASSERT_EQ(q->recordCount(), 3);
    EXPECT_EQ(q->field("name").asString(), "unu");
    EXPECT_DOUBLE_EQ(q->field("amount").asFloat(), 0.1);
    EXPECT_EQ(q->field("day").asDate(), QDate(2026, 3, 31));
    EXPECT_EQ(q->field("at").asDateTime(), QDateTime(QDate(2026, 3, 31), QTime(10, 20, 30, 500)));
    EXPECT_TRUE(q->field("flag").asBoolean());
    EXPECT_FALSE(q->field("note").isNull());
    EXPECT_EQ(q->field("note").asString(), "");
    q->next();
    EXPECT_TRUE(q->field("note").isNull());
    EXPECT_EQ(q->field("note").asString(), "");
    EXPECT_FALSE(q->field("day").asDate().isValid());
    q->next();
    EXPECT_DOUBLE_EQ(q->field("amount").asFloat(), 1e300);
    q->next();
    EXPECT_TRUE(q->eof());
    EXPECT_EQ(q->currentRow(), 2);
}

TEST_F(Fixture, DeclaredFieldsAreCheckedAtOpen)
{
    auto missing = tableQuery("select id, name, amount, day, at, flag from t");
    EXPECT_EQ(errorOf([&] { missing->open(); }), "dsT: Field 'note' not found");
    EXPECT_FALSE(missing->isOpen());

    auto mistyped = tableQuery("select id, name, amount::text as amount, day, at, flag, note from t");
    EXPECT_EQ(errorOf([&] { mistyped->open(); }),
              "dsT: Type mismatch for field 'dsTamount', expecting: Float actual: text");

    auto extra = tableQuery("select *, 42 as extra from t");
    EXPECT_NO_THROW(extra->open());

    auto none = tableQuery("select * from t where id < 0");
    none->open();
    EXPECT_EQ(none->recordCount(), 0);
    EXPECT_TRUE(none->eof());
    EXPECT_EQ(none->field("name").asString(), "");
}

TEST_F(Fixture, ParametersAreBoundByNameWhateverTheCase)
{
    auto q = tableQuery("select * from t where name = :pName or day = :PDAY order by id");
    q->declareParam(QStringLiteral("pday"), ParamType::Date);
    q->setParam(QStringLiteral("PNAME"), QStringLiteral("x'); drop table t; --"));
    q->setParam(QStringLiteral("pDay"), QDateTime(QDate(2025, 1, 10), QTime(23, 59)));
    q->open();
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field("name").asString(), "trei");
    EXPECT_EQ(db.scalar("select count(*) from t"), "3");
}

TEST_F(Fixture, DisconnectedModeConnectsPerOperationAndRowsOutliveTheConnection)
{
    con.setDisconnectedMode(true);
    auto q = tableQuery();
    q->open();
    EXPECT_FALSE(con.isConnected());
    EXPECT_EQ(q->recordCount(), 3);
    q->last();
    EXPECT_EQ(q->field("name").asString(), "trei");

    // No session stays open between operations. Only this test's database counts: tests running
    // beside it hold program sessions of their own. A closed session's backend leaves the activity
    // view a moment after the client has gone, so the count is given that moment.
    const auto sessions = [&] {
        return db.scalar("select count(*) from pg_stat_activity where application_name = 'Korvat' "
                         "and datname = current_database()");
    };
    QString before = sessions();
    for (int i = 0; i < 100 && before != "0"; ++i) {
        QThread::msleep(50);
        before = sessions();
    }
    q->refresh();
    EXPECT_FALSE(con.isConnected());

    con.setDisconnectedMode(false);
    q->refresh();
    EXPECT_TRUE(con.isConnected());
    const int pid = con.backendPid();
    q->refresh();
    EXPECT_EQ(con.backendPid(), pid);
    EXPECT_EQ(before, "0");
}

TEST_F(Fixture, ConnectionSettingsCloseOnlyWhenTheyChange)
{
    auto q = tableQuery();
    q->open();
    ASSERT_TRUE(con.isConnected());
    con.setServer(con.server());
    con.setPort(con.port());
    con.setDatabase(con.database());
    EXPECT_TRUE(con.isConnected());
    con.setSslMode(con.sslMode());
    EXPECT_EQ(errorOf([&] { con.setSslMode(SslMode::Require); }),
              "conTest: Cannot perform this operation on an opened connection");
    EXPECT_EQ(con.sslMode(), SslMode::Prefer);

    for (const auto &change : std::vector<std::function<void()>>{
             [&] { con.setServer(QStringLiteral("localhost")); },
             [&] { con.setPort(con.port() + 1); },
             [&] { con.setDatabase(QStringLiteral("other")); }}) {
        db.configure(con);
        q->refresh();
        ASSERT_TRUE(con.isConnected());
        change();
        EXPECT_FALSE(con.isConnected());
    }
}

TEST_F(Fixture, ADroppedConnectionIsReestablishedByTheNextOperation)
{
    auto q = tableQuery();
    q->open();
    const int pid = con.backendPid();
    db.exec(QStringLiteral("select pg_terminate_backend(%1)").arg(pid));
    for (int i = 0; i < 50 && db.scalar(QStringLiteral("select count(*) from pg_stat_activity where pid = %1").arg(pid)) != "0"; ++i)
        QThread::msleep(20);
    q->refresh();
    EXPECT_EQ(q->recordCount(), 3);
    EXPECT_NE(con.backendPid(), pid);
}

TEST_F(Fixture, EnvironmentOfTheUserDoesNotChangeAConnection)
{
    const char *vars[][2] = {{"PGHOST", "192.0.2.1"}, {"PGHOSTADDR", "192.0.2.1"}, {"PGPORT", "1"},
                             {"PGDATABASE", "nowhere"}, {"PGSSLMODE", "verify-full"}, {"PGOPTIONS", "-c search_path=nowhere"},
                             {"PGCONNECT_TIMEOUT", "1"}, {"PGCLIENTENCODING", "LATIN1"}};
    for (auto &v : vars)
        qputenv(v[0], v[1]);
    auto q = tableQuery("select t.*, current_setting('client_encoding') as enc, current_setting('search_path') as sp from t");
    q->addField({"enc", FieldKind::String});
    q->addField({"sp", FieldKind::String});
    EXPECT_NO_THROW(q->open());
    for (auto &v : vars)
        qunsetenv(v[0]);
    EXPECT_EQ(q->field("enc").asString(), "UTF8");
    EXPECT_NE(q->field("sp").asString(), "nowhere");
}

TEST(TlsModes, RequireRefusesAPlainServerAndPreferConnectsToBoth)
{
    TestDatabase plainDb(TestDatabase::Kind::Empty, false);
    TestDatabase tlsDb(TestDatabase::Kind::Empty, true);
    struct Case {
        TestDatabase *db;
        SslMode mode;
        bool connects;
        bool encrypted;
    };
    for (const Case &c : {Case{&plainDb, SslMode::Require, false, false}, Case{&plainDb, SslMode::Prefer, true, false},
                          Case{&tlsDb, SslMode::Require, true, true}, Case{&tlsDb, SslMode::Prefer, true, true}}) {
        Connection con(QStringLiteral("conZubMob"));
        c.db->configure(con);
        con.setSslMode(c.mode);
        Query q(QStringLiteral("dsX"), &con);
        q.setSql(QStringLiteral("select 1 as one"));
        const QString error = errorOf([&] { q.open(); });
        EXPECT_EQ(con.isConnected(), c.connects);
        if (c.connects) {
            EXPECT_EQ(error, "<no error>");
            EXPECT_EQ(con.usesSsl(), c.encrypted);
        } else {
            EXPECT_TRUE(error.contains("SSL", Qt::CaseInsensitive)) << error.toStdString();
            EXPECT_FALSE(q.isOpen());
        }
    }
}

TEST_F(Fixture, PostWritesOnlyTheChangedColumnsOfThatRow)
{
    db.exec("create table changes (id integer, cols text)");
    db.exec("create function log_changes() returns trigger language plpgsql as $$ begin "
            "insert into changes select new.id, string_agg(key, ',' order by key) from jsonb_each(to_jsonb(new)) n "
            "where n.value is distinct from to_jsonb(old) -> n.key; return new; end $$");
    db.exec("create trigger t_changes before update on t for each row execute function log_changes()");
    auto q = tableQuery();
    q->open();
    q->moveTo(1);
    q->field("name").setValue(QStringLiteral("doi bis"));
    q->field("amount").setValue(2.5);
    q->field("day").setValue(QDate(2026, 12, 1));
    EXPECT_EQ(q->state(), Query::State::Edit);
    q->post();
    EXPECT_EQ(q->state(), Query::State::Browse);
    EXPECT_EQ(q->field("name").asString(), "doi bis");
    EXPECT_EQ(db.rows("select * from changes"), QStringList{"2|amount,day,name"});
    EXPECT_EQ(db.rows("select id, name, amount, day from t order by id"),
              (QStringList{"1|unu|0.1|2026-03-31", "2|doi bis|2.5|2026-12-01", "3|trei|1e+300|2025-01-10"}));

    // Setting a value back to what it was writes nothing.
    q->field("name").setValue(QStringLiteral("doi bis"));
    q->post();
    q->edit();
    q->post();
    EXPECT_EQ(db.scalar("select count(*) from changes"), "1");

    // A value read as a float posts back without drift, and NULL is written as NULL.
    q->moveTo(0);
    q->field("note").setNull();
    q->field("amount").setValue(q->field("amount").asFloat() * 3);
    q->post();
    EXPECT_EQ(db.rows("select note is null, amount = 0.1::float8 * 3 from t where id = 1"), QStringList{"t|t"});
}

TEST_F(Fixture, APostThatChangesNoRowFailsAndStaysInEditing)
{
    auto q = tableQuery();
    q->open();
    q->field("name").setValue(QStringLiteral("nou"));
    db.exec("delete from t where id = 1");
    EXPECT_EQ(errorOf([&] { q->post(); }).left(20), QString::fromLatin1(texts::rowChangedByOther).left(20));
    EXPECT_EQ(q->state(), Query::State::Edit);
    EXPECT_EQ(q->field("name").asString(), "nou");
    // Moving away posts first: the move is refused and the cursor stays.
    EXPECT_NE(errorOf([&] { q->next(); }), "<no error>");
    EXPECT_EQ(q->currentRow(), 0);
    q->cancel();
    EXPECT_EQ(q->field("name").asString(), "unu");

    // A value the server refuses leaves the row in editing with the server's message.
    q->moveTo(1);
    q->field("name").setValue(QStringLiteral("much too long for twenty characters"));
    EXPECT_TRUE(errorOf([&] { q->post(); }).contains("too long"));
    EXPECT_EQ(q->state(), Query::State::Edit);
    q->cancel();
    EXPECT_EQ(db.scalar("select name from t where id = 2"), "doi");
}

TEST_F(Fixture, DeleteRemovesOnlyThatRow)
{
    auto q = tableQuery();
    int scrolls = 0;
    q->afterScroll = [&](Query &) { ++scrolls; };
    q->open();
    q->moveTo(1);
    q->deleteRecord();
    EXPECT_EQ(db.rows("select id from t order by id"), (QStringList{"1", "3"}));
    EXPECT_EQ(q->recordCount(), 2);
    EXPECT_EQ(q->field("name").asString(), "trei");
    EXPECT_EQ(scrolls, 3);
    q->deleteRecord();
    EXPECT_EQ(q->field("name").asString(), "unu");
    db.exec("delete from t");
    EXPECT_EQ(errorOf([&] { q->deleteRecord(); }).left(20), QString::fromLatin1(texts::rowChangedByOther).left(20));
    EXPECT_EQ(q->recordCount(), 1);
}

TEST_F(Fixture, BeforePostRunsFirstAndADetailTakesItsParameterFromTheMaster)
{
    db.exec("create table d (name varchar(20), v integer)");
    db.exec("insert into d values ('unu', 1), ('unu', 11), ('trei', 3)");
    auto master = tableQuery();
    Query detail(QStringLiteral("dsD"), &con);
    detail.setSql(QStringLiteral("select v from d where name = :name order by v"));
    detail.addField({"v", FieldKind::Integer});
    detail.setMaster(master.get());
    QList<int> seen;
    master->afterScroll = [&](Query &) {
        detail.close();
        detail.open();
        for (detail.first(); !detail.eof(); detail.next())
            seen << detail.field("v").asInteger();
        seen << -1;
    };
    master->beforePost = [](Query &q) {
        if (q.field("note").asString().isEmpty())
            q.field("note").setNull();
    };
    master->open();
    master->next();
    master->next();
    EXPECT_EQ(seen, (QList<int>{1, 11, -1, -1, 3, -1}));

    master->field("note").setValue(QString());
    master->post();
    EXPECT_EQ(db.scalar("select note is null from t where id = 3"), "t");
}

TEST_F(Fixture, AStoredFunctionKeepsItsLastExecution)
{
    db.exec("create function f(d date, s text) returns table (line text) language sql as "
            "$$ select s || ' ' || d::text union all select 'end' $$");
    StoredFunction fn(QStringLiteral("f"), &con);
    fn.setSql(QStringLiteral("SELECT * FROM f(:pdata, :ps)"));
    fn.declareParam(QStringLiteral("pdata"), ParamType::Date);
    fn.addField({"line", FieldKind::Memo, 0, false, true});
    fn.setParam(QStringLiteral("pData"), QDate(2026, 11, 15));
    fn.setParam(QStringLiteral("pS"), QStringLiteral("RO1"));
    fn.execute();
    EXPECT_EQ(fn.field("line").asString(), "RO1 2026-11-15");
    fn.setParam(QStringLiteral("pS"), QStringLiteral("RO2"));
    fn.execute();
    EXPECT_EQ(fn.recordCount(), 2);
    EXPECT_EQ(fn.field("line").asString(), "RO2 2026-11-15");
}
