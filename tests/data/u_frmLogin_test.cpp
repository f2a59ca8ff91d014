#include "login_world.h"

#include "platform/memtable/memtable.h"
#include "platform/pg/error.h"

#include <QApplication>

using namespace login_test;
using korvat::forms::Application;
using korvat::pg::SslMode;

namespace {

const QStringList earlier{"earlier company", "earlier user", "earlier pass", "earlier db",
                          "earlier role",    "earlier pl",   "earlier jas",  "earlier protocol"};

// conZub at its stored settings, as no login has moved it.
void expectConZubUntouched(const TdmCon &dm, const char *label)
{
    EXPECT_EQ(dm.conZub.server(), initialCompanyServer) << label;
    EXPECT_EQ(dm.conZub.port(), initialCompanyPort) << label;
    EXPECT_EQ(dm.conZub.database(), "zub1") << label;
    EXPECT_EQ(dm.conZub.sslMode(), SslMode::Require) << label;
}

void expectConZubAt(const TdmCon &dm, const TestDatabase &db, const char *label)
{
    EXPECT_EQ(dm.conZub.server(), db.server().host) << label;
    EXPECT_EQ(dm.conZub.port(), db.server().port) << label;
    EXPECT_EQ(dm.conZub.database(), db.name()) << label;
    EXPECT_EQ(dm.conZub.sslMode(), SslMode::Prefer) << label;
}

// The error a query on a connection like conZubMob raises against the directory.
QString directoryError(const World &world)
{
    korvat::pg::Connection probe(QStringLiteral("conZubMob"));
    world.directory.configure(probe);
    probe.setSslMode(SslMode::Require);
    korvat::pg::Query query(QStringLiteral("probe"), &probe);
    query.setSql(QStringLiteral("select 1"));
    try {
        query.open();
    } catch (const korvat::pg::Error &e) {
        return e.message();
    }
    return QStringLiteral("<the directory accepted the connection>");
}

} // namespace

TEST(Login, SuccessFillsTheContextAndPointsConZubAtTheCompany)
{
    World world;
    Session s(world);
    s.setContext(earlier);

    EXPECT_EQ(s.login("Firma", "ion", "secret"), korvat::forms::Dialog::mrOk);

    EXPECT_EQ(world.errors, QStringList());
    EXPECT_EQ(s.context(), QStringList({"Firma", "ion", "secret", world.erp.name(), "admin", "PL 1", "srv:8080", "http"}));
    expectConZubAt(s.dmCon, world.erp, "success");
    EXPECT_FALSE(s.dmCon.dsEmitent.isOpen());
    EXPECT_FALSE(s.dmCon.dsAplicatieMob.isOpen());
    EXPECT_FALSE(s.frmLogin.dsZubMobil.isOpen());
    EXPECT_TRUE(s.dmCon.dsAplicatieMobEmitent.isOpen());
    EXPECT_TRUE(s.dmCon.dsEu.isOpen());
    EXPECT_EQ(s.frmLogin.Edit3->text(), "");
    EXPECT_EQ(world.savedRows(), QStringList{"Firma|ion"});
}

// Each check of the sequence, with what the steps before it leave behind.
TEST(Login, EachFailureShowsItsMessageAndKeepsWhatTheEarlierStepsDid)
{
    enum Reached { BeforeCompany, CompanyFound, ContextFilled };
    const QString title = Application::titleFromExecutable(QCoreApplication::applicationFilePath());
    const struct {
        const char *label;
        const char *directorySql;
        const char *erpSql;
        const char *company;
        const char *user;
        const char *password;
        QString message;
        Reached reached;
    } cases[] = {
        {"directory query fails", "alter table m_firma drop column pw_hash_type", nullptr, "Firma", "ion", "secret",
         "dsZubMobil: Field 'pw_hash_type' not found", BeforeCompany},
        {"company typed with a trailing blank", nullptr, nullptr, "Firma ", "ion", "secret", "Companie inexistenta",
         BeforeCompany},
        {"company query fails", nullptr, "alter table emitent drop column cnp", "Firma", "ion", "secret",
         "dsEmitent: Field 'cnp' not found", CompanyFound},
        {"wrong password", nullptr, nullptr, "Firma", "ion", "Secret", "User, Password eronate", CompanyFound},
        {"user in other letter case", nullptr, nullptr, "Firma", "Ion", "secret", "User, Password eronate",
         CompanyFound},
        {"application not active", nullptr, "update aplicatie_mob set activ = false", "Firma", "ion", "secret",
         "Aplicatia " + title + " nu este disponibila", CompanyFound},
        {"application not enabled for the user", nullptr, "delete from aplicatie_mob_emitent", "Firma", "ion",
         "secret", "Aplicatia " + title + " nu este disponibila pentru user-ul ion", CompanyFound},
        {"company row without jas_ip", nullptr, "alter table eu drop column jas_ip", "Firma", "ion", "secret",
         "dsEu: Field 'jas_ip' not found", ContextFilled},
    };
    for (const auto &c : cases) {
        World world;
        if (c.directorySql)
            world.directory.exec(c.directorySql);
        if (c.erpSql)
            world.erp.exec(c.erpSql);
        Session s(world);
        s.setContext(earlier);

        EXPECT_EQ(s.login(c.company, c.user, c.password), 0) << c.label;

        EXPECT_EQ(world.errors, QStringList{Application::errorText(c.message)}) << c.label;
        EXPECT_EQ(world.savedRows(), QStringList{QString(c.company) + "|" + c.user}) << c.label;
        QStringList expected = earlier;
        expected[0] = c.company;
        if (c.reached == ContextFilled)
            expected = QStringList{c.company, c.user, c.password, world.erp.name(), "admin", "PL 1"} + earlier.mid(6);
        EXPECT_EQ(s.context(), expected) << c.label;
        if (c.reached == BeforeCompany)
            expectConZubUntouched(s.dmCon, c.label);
        else
            expectConZubAt(s.dmCon, world.erp, c.label);
        EXPECT_FALSE(s.dmCon.dsEmitent.isOpen()) << c.label;
        EXPECT_FALSE(s.dmCon.dsAplicatieMob.isOpen()) << c.label;
        EXPECT_FALSE(s.frmLogin.dsZubMobil.isOpen()) << c.label;
        EXPECT_EQ(QStringList({s.frmLogin.Edit1->text(), s.frmLogin.Edit2->text(), s.frmLogin.Edit3->text()}),
                  QStringList({c.company, c.user, c.password}))
            << c.label;
    }
}

TEST(Login, PasswordValueFollowsTheDirectorysHashType)
{
    World world;
    const struct {
        const char *hashType;   // SQL
        const char *stored;     // operator_parola
        const char *typed;
    } cases[] = {
        {"null", "secret", "secret"},
        {"''", "secret", "secret"},
        {"'HashSHA2'", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", "abc"},
        {"'hashsha2'", "abc", "abc"},
        {"'HashSHA2 '", "abc", "abc"},
        {"'HashSHA2'", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", ""},
        {"'HashSHA2'", "6dcf62a2bd7eb90cf724ffdf5279d2be3df6b159f80f7d080c5448131195bc0d", "parolă"},
    };
    for (const auto &c : cases) {
        const QString label = QStringLiteral("%1, typed \"%2\"").arg(c.hashType, QString::fromUtf8(c.typed));
        world.directory.exec(QStringLiteral("update m_firma set pw_hash_type = %1").arg(c.hashType));
        world.erp.exec(QStringLiteral("update emitent set operator_parola = %1").arg(sqlLiteral(c.stored)));
        world.errors.clear();
        Session s(world);

        EXPECT_EQ(s.login("Firma", "ion", QString::fromUtf8(c.typed)), korvat::forms::Dialog::mrOk) << label.toStdString();
        EXPECT_EQ(world.errors, QStringList()) << label.toStdString();
        EXPECT_EQ(s.dmCon.glUserPass, QString::fromUtf8(c.typed)) << label.toStdString();
    }
}

TEST(Login, JasProtocolIsHttpOnlyForAnAddressContaining8080)
{
    World world;
    const struct {
        const char *jasIp;  // SQL
        const char *protocol;
    } cases[] = {
        {"'srv:8080'", "http"}, {"'10.1.1.1:18080'", "http"}, {"''", "https"}, {"null", "https"}, {"'srv:443'", "https"},
    };
    for (const auto &c : cases) {
        world.erp.exec(QStringLiteral("update eu set jas_ip = %1").arg(c.jasIp));
        Session s(world);
        ASSERT_EQ(s.login("Firma", "ion", "secret"), korvat::forms::Dialog::mrOk) << c.jasIp;
        EXPECT_EQ(s.dmCon.glJasIP, world.erp.scalar("select coalesce(jas_ip, '') from eu")) << c.jasIp;
        EXPECT_EQ(s.dmCon.glJasProtocol, c.protocol) << c.jasIp;
    }
}

TEST(Login, DirectoryMustBeEncryptedTheCompanyDatabaseNeedNotBe)
{
    {
        World plainDirectory(false, true);
        Session s(plainDirectory);
        s.setContext(earlier);
        EXPECT_EQ(s.login("Firma", "ion", "secret"), 0);
        EXPECT_EQ(plainDirectory.errors, QStringList{Application::errorText(directoryError(plainDirectory))});
        EXPECT_FALSE(s.dmCon.conZubMob.isConnected());
        expectConZubUntouched(s.dmCon, "plain directory");
        EXPECT_EQ(s.context(), QStringList{"Firma"} + earlier.mid(1));
    }
    {
        World plainCompany(true, false);
        Session s(plainCompany);
        EXPECT_EQ(s.login("Firma", "ion", "secret"), korvat::forms::Dialog::mrOk);
        EXPECT_EQ(plainCompany.errors, QStringList());
        EXPECT_EQ(s.dmCon.glDataBase, plainCompany.erp.name());
    }
}

TEST(Login, LastLoginFileRemembersCompanyAndUserButNeverThePassword)
{
    World world;
    // A new account whose roaming folder does not exist yet.
    world.folder = world.home.filePath("config");
    {
        Session s(world);
        s.show();
        EXPECT_EQ(s.frmLogin.Edit1->text(), "");
        EXPECT_EQ(s.frmLogin.Edit2->text(), "");

        // Nothing typed: a table without a row is saved, and the empty name is looked up.
        QTest::mouseClick(s.frmLogin.Button1, Qt::LeftButton);
        EXPECT_EQ(world.errors, QStringList{"Companie inexistenta."});
        EXPECT_EQ(world.savedRows(), QStringList());

        EXPECT_EQ(s.login("Frima", "ion", "pa55word"), 0);
        EXPECT_EQ(world.errors, QStringList({"Companie inexistenta.", "Companie inexistenta."}));
        EXPECT_EQ(world.savedRows(), QStringList{"Frima|ion"});
        EXPECT_FALSE(world.savedBytes().contains("pa55word"));

        // The close box cancels; the next showing offers the mistyped company again and keeps the
        // password as typed.
        s.frmLogin.close();
        EXPECT_EQ(s.frmLogin.result(), korvat::forms::Dialog::mrCancel);
        s.frmLogin.Edit1->setText("changed after the press");
        s.show();
        EXPECT_EQ(s.frmLogin.Edit1->text(), "Frima");
        EXPECT_EQ(s.frmLogin.Edit2->text(), "ion");
        EXPECT_EQ(s.frmLogin.Edit3->text(), "pa55word");

        EXPECT_EQ(s.login("Firma", "ion", "secret"), korvat::forms::Dialog::mrOk);
        EXPECT_FALSE(world.savedBytes().contains("secret"));
    }
    // The next run of the program.
    Session next(world);
    next.show();
    EXPECT_EQ(next.frmLogin.Edit1->text(), "Firma");
    EXPECT_EQ(next.frmLogin.Edit2->text(), "ion");
    EXPECT_EQ(next.frmLogin.Edit3->text(), "");
    EXPECT_EQ(world.errors.size(), 2);
}

TEST(Login, FolderThatCannotBeWrittenFailsEveryPressBeforeAnyLookup)
{
    World world;
    // Root ignores permission bits; a folder below a regular file can be neither made nor written.
    QFile blocker(world.home.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    world.folder = world.home.filePath("blocker/roaming");
    QString saveError;
    {
        korvat::memtable::MemTable probe(QStringLiteral("dsLogin"));
        probe.open();
        try {
            probe.saveToFile(world.lastLoginPath());
        } catch (const korvat::memtable::Error &e) {
            saveError = Application::errorText(e.message());
        }
    }
    ASSERT_FALSE(saveError.isEmpty());

    Session s(world);
    s.setContext(earlier);
    EXPECT_EQ(s.login("Firma", "ion", "secret"), 0);
    EXPECT_EQ(s.login("Firma", "ion", "secret"), 0);

    EXPECT_EQ(world.errors, QStringList({saveError, saveError}));
    EXPECT_EQ(s.context(), earlier);
    EXPECT_FALSE(s.dmCon.conZubMob.isConnected());
    expectConZubUntouched(s.dmCon, "unwritable folder");
}

// A file that cannot be read: its error once per showing, empty boxes, and the next press saves a
// good file over it.
TEST(Login, BadLastLoginFileIsShownOnceAndReplacedByTheNextPress)
{
    const struct {
        const char *label;
        QByteArray content;
    } cases[] = {
        {"cut short", R"({"table": "dsLogin", "fields": [], "rows": [{"company": "Fi)"},
        {"a value that is no text", R"({"table": "dsLogin", "fields": [], "rows": [{"company": 7}]})"},
    };
    for (const auto &c : cases) {
        World world;
        Session s(world);
        EXPECT_EQ(s.login("Firma", "ion", "wrong"), 0) << c.label;
        s.frmLogin.close();
        s.show();
        ASSERT_EQ(s.frmLogin.Edit1->text(), "Firma") << c.label;
        world.errors.clear();
        QFile file(world.lastLoginPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();

        QString loadError;
        korvat::memtable::MemTable probe(QStringLiteral("dsLogin"));
        probe.addStringField(QStringLiteral("company"), 200);
        try {
            probe.loadFromFile(world.lastLoginPath());
        } catch (const korvat::memtable::Error &e) {
            loadError = Application::errorText(e.message());
        }

        for (int showing = 1; showing <= 2; ++showing) {
            s.frmLogin.close();
            s.show();
            EXPECT_EQ(world.errors.size(), showing) << c.label;
            EXPECT_EQ(world.errors.value(showing - 1), loadError) << c.label;
            EXPECT_EQ(s.frmLogin.Edit1->text(), "") << c.label;
            EXPECT_EQ(s.frmLogin.Edit2->text(), "") << c.label;
        }

        EXPECT_EQ(s.login("Firma", "ion", "secret"), korvat::forms::Dialog::mrOk) << c.label;
        EXPECT_EQ(world.errors.size(), 2) << c.label;
        EXPECT_EQ(world.savedRows(), QStringList{"Firma|ion"}) << c.label;
    }
}

TEST(Login, SecondPressPointsConZubAtTheSecondCompany)
{
    World world;
    TestDatabase erp2(TestDatabase::Kind::Erp);
    world.addCompany("Firma Doi", erp2, "PL 2");
    Session s(world);

    EXPECT_EQ(s.login("Firma", "ion", "wrong"), 0);
    expectConZubAt(s.dmCon, world.erp, "first press");
    EXPECT_EQ(s.login("Firma Doi", "ion", "secret"), korvat::forms::Dialog::mrOk);

    EXPECT_EQ(world.errors, QStringList{"User, Password eronate."});
    expectConZubAt(s.dmCon, erp2, "second press");
    EXPECT_EQ(s.dmCon.glDataBase, erp2.name());
    EXPECT_EQ(s.dmCon.glEuPL, "PL 2");
    EXPECT_EQ(world.savedRows(), QStringList{"Firma Doi|ion"});
}

TEST(Login, KeyboardFocusEnterEscapeAndMasking)
{
    World world;
    Session s(world);
    TfrmLogin &d = s.frmLogin;
    s.show();

    EXPECT_EQ(d.focusWidget(), d.Edit3);
    QList<QWidget *> tabbed;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
        tabbed << d.focusWidget();
    }
    EXPECT_EQ(tabbed, QList<QWidget *>({d.Button1, d.Edit1, d.Edit2, d.Edit3}));

    QTest::keyClicks(d.Edit3, "abc");
    EXPECT_EQ(d.Edit3->displayText(), "***");

    d.Edit1->setText(QString(250, QLatin1Char('x')));
    EXPECT_EQ(d.Edit1->text().size(), 200);
    EXPECT_EQ(d.dsLogin.value("company").size(), 200);

    QTest::keyClick(d.Edit3, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());

    // Enter in a box presses Login.
    QTest::keyClick(d.Edit2, Qt::Key_Return);
    EXPECT_EQ(world.errors, QStringList{"Companie inexistenta."});
    EXPECT_TRUE(d.isVisible());

    d.close();
    EXPECT_EQ(d.result(), korvat::forms::Dialog::mrCancel);
}
