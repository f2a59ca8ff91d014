// Bad input at each door of the program: what a clerk pastes into the login boxes, what lies in the
// last-login file, and where a declaration is to be saved. Each ends in the program's normal outcome
// for it: a message of the program or of the storage, never an SQL error, nothing changed that the
// input should not change.
#include "reliability_world.h"
#include "support/files.h"

#include "data/login_world.h"
#include "declarations/u_fEmcsDeclA47.h"
#include "excise/excise_world.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <iostream>

using namespace reliability;
using korvat::test::AsUnprivilegedUser;
using korvat::test::SmallFileSystem;
using korvat::test::sqlLiteral;
using korvat::test::writeFile;
using korvat::forms::Dialog;

namespace {

constexpr auto listable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                          | QFile::ReadOther | QFile::ExeOther;

// As the clerk pastes it: QLineEdit takes a paste as it is, where typing would drop what is no
// printable character.
void paste(QLineEdit *box, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    box->clear();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

int press(login_test::Session &s, const QString &company, const QString &user, const QString &password)
{
    s.show();
    paste(s.frmLogin.Edit1, company);
    paste(s.frmLogin.Edit2, user);
    paste(s.frmLogin.Edit3, password);
    QTest::mouseClick(s.frmLogin.Button1, Qt::LeftButton);
    return s.frmLogin.isVisible() ? 0 : s.frmLogin.result();
}

// The value in each box in turn: the login's own messages, the tables untouched, the file holding the
// value as pasted. A company that bears the name then logs in.
void loginBoxes(const QString &value, bool companyMayBearIt)
{
    login_test::World world;
    const QString before = tableContent(world.erp, "emitent") + tableContent(world.directory, "m_firma");
    login_test::Session s(world);

    EXPECT_EQ(press(s, value, "ion", "secret"), 0);
    EXPECT_EQ(s.frmLogin.Edit1->text(), value);
    EXPECT_EQ(world.savedRows(), QStringList{value + "|ion"});
    EXPECT_EQ(press(s, "Firma", value, "secret"), 0);
    EXPECT_EQ(press(s, "Firma", "ion", value), 0);
    EXPECT_EQ(s.frmLogin.Edit3->text(), value);
    EXPECT_EQ(world.errors, QStringList({"Companie inexistenta.", "User, Password eronate.", "User, Password eronate."}));
    EXPECT_EQ(tableContent(world.erp, "emitent") + tableContent(world.directory, "m_firma"), before);

    if (companyMayBearIt) {
        world.directory.exec(QStringLiteral("insert into m_firma (nume_firma, ip, port, db_name) values (%1, %2, %3, %4)")
                                 .arg(sqlLiteral(value), sqlLiteral(world.erp.server().host))
                                 .arg(world.erp.server().port)
                                 .arg(sqlLiteral(world.erp.name())));
        EXPECT_EQ(press(s, value, "ion", "secret"), Dialog::mrOk);
        EXPECT_EQ(world.errors.size(), 3);
    }
}

// A last-login file made by make: showing the dialog gives the storage's message naming the file, with
// the boxes empty. The next press then logs in over a good file, or, where no file can be written
// (pressFails), fails at the save with no lookup made.
void lastLoginFile(const std::function<void(const QString &path)> &make, const char *shownError,
                   const char *pressFails = nullptr, bool showAsClerk = false)
{
    login_test::World world;
    ASSERT_TRUE(QFile::setPermissions(world.folder, listable));
    make(world.lastLoginPath());
    login_test::Session s(world);
    {
        std::optional<AsUnprivilegedUser> clerk;
        if (showAsClerk)
            clerk.emplace();
        s.show();
    }
    const QString prefix = QStringLiteral("\"%1\"").arg(world.lastLoginPath());
    ASSERT_EQ(world.errors.size(), 1);
    EXPECT_TRUE(world.errors[0].contains(prefix) && world.errors[0].contains(QLatin1String(shownError)))
        << world.errors[0].toStdString();
    EXPECT_EQ(s.frmLogin.Edit1->text(), "");
    EXPECT_EQ(s.frmLogin.Edit2->text(), "");

    if (pressFails) {
        EXPECT_EQ(press(s, "Firma", "ion", "secret"), 0);
        ASSERT_EQ(world.errors.size(), 2);
        EXPECT_TRUE(world.errors[1].startsWith(QLatin1String(pressFails))) << world.errors[1].toStdString();
        EXPECT_FALSE(s.dmCon.conZubMob.isConnected());
    } else {
        EXPECT_EQ(press(s, "Firma", "ion", "secret"), Dialog::mrOk);
        EXPECT_EQ(world.errors.size(), 1);
        EXPECT_EQ(world.savedRows(), QStringList{"Firma|ion"});
    }
}

enum class Place { MissingFolder, ReadOnlyFolder, FullFileSystem };


// The clerk chooses a path at place: the message names the path, the link keeps its text, and no file
// (or, on a full file system, nothing but the earlier declaration, whole) is left there.
void declarationPath(Place place)
{
    excise_test::World world;
    world.db.exec("insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) "
                  "values ('RO0012345DI01', 'destinatar inregistrat')");
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), listable));
    const QString folder = dir.filePath(place == Place::MissingFolder ? "missing" : "target");
    const QString path = folder + "/declaratie.xml";
    const QByteArray earlier(40 * 1024, 'x');
    std::optional<SmallFileSystem> small;
    if (place != Place::MissingFolder) {
        ASSERT_TRUE(QDir().mkdir(folder));
    }
    if (place == Place::ReadOnlyFolder) {
        ASSERT_TRUE(QFile::setPermissions(folder, listable & ~QFile::WriteOwner));
    }
    if (place == Place::FullFileSystem) {
        small.emplace(folder);
        if (!small->mounted()) {
            std::cout << "[  SKIPPED ] the full file system: no small tmpfs can be mounted here: " << small->reason()
                      << std::endl;
            return;
        }
        writeFile(path, earlier);
        world.db.exec("create or replace function o_emcs_xml_anexa19(pdata date, pemcseucodaccizadepozit text) "
                      "returns table (o_emcs_xml_anexa19 text) language sql as "
                      "$$ select repeat('y', 78) from generate_series(1, 600) $$");
    }

    TfEmcsDeclA47 w(world.dmCon, nullptr);
    w.machineFolder = [&] { return dir.path(); };
    w.SaveDialog1->answer = [&](const korvat::declarations::SaveDialog &) { return std::optional<QString>(path); };
    w.show();
    w.cxComboBoxCodEuAcciza->setCurrentIndex(0);
    {
        std::optional<AsUnprivilegedUser> clerk;
        if (place == Place::ReadOnlyFolder)
            clerk.emplace();
        QTest::mouseClick(w.ButtonGenerareXmlDecl47, Qt::LeftButton);
    }

    const QString expected = QStringLiteral("Cannot %1 file \"%2\". ")
                                 .arg(place == Place::FullFileSystem ? "write" : "create", path);
    ASSERT_EQ(world.errors.size(), 1);
    EXPECT_TRUE(world.errors[0].startsWith(expected) && world.errors[0].size() > expected.size() + 1)
        << world.errors[0].toStdString();
    EXPECT_EQ(w.LabelPathSave->text(), "");
    const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (place == Place::FullFileSystem) {
        EXPECT_EQ(left, QStringList{"declaratie.xml"});
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == earlier) << "the earlier declaration is damaged";
    } else {
        EXPECT_EQ(left, QStringList());
    }
}

struct BadInput {
    const char *input;
    const char *expected;
    std::function<void()> run;
};

const QString sqlText = QStringLiteral("'; drop table emitent; --");

const BadInput badInputs[] = {
    {"login boxes: quotes", "the login's own messages; the tables unchanged; a company of that name logs in",
     [] { loginBoxes(QStringLiteral("O'Brien \"Vinuri\" `x`"), true); }},
    {"login boxes: '; drop table emitent; --", "the same", [] { loginBoxes(sqlText, true); }},
    {"login boxes: 200 characters", "the same", [] { loginBoxes(sqlText.repeated(8).left(200), true); }},
    {"login boxes: emoji", "the same", [] { loginBoxes(QStringLiteral("Bere \U0001F37A si vin \U0001F377"), true); }},
    {"login boxes: right-to-left text", "the same",
     [] { loginBoxes(QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u200F\u0645\u0631\u062D\u0628\u0627 \u202Eabc\u202C"), true); }},
    {"login boxes: a lone surrogate pasted in",
     "the login's own messages and the tables unchanged; the file keeps the pasted text",
     [] { loginBoxes(QStringLiteral("Firma") + QChar(0xD83C), false); }},

    {"last-login file: empty", "\"it is empty\" on showing, empty boxes; the next press logs in over a good file",
     [] { lastLoginFile([](const QString &p) { writeFile(p, ""); }, "it is empty"); }},
    {"last-login file: not JSON", "\"it is not JSON\" on showing; the same",
     [] { lastLoginFile([](const QString &p) { writeFile(p, "company=Firma\nusername=ion\n"); }, "it is not JSON"); }},
    {"last-login file: JSON of the wrong shape", "\"it is not an object with ...\" on showing; the same",
     [] {
         lastLoginFile([](const QString &p) { writeFile(p, R"({"table": "dsLogin", "fields": {}, "rows": "Firma"})"); },
                       "it is not an object with");
     }},
    {"last-login file: 10 MB", "\"it is larger than 1048576 bytes\", refused unread; the same",
     [] {
         lastLoginFile([](const QString &p) { writeFile(p, QByteArray(10 * 1024 * 1024, ' ')); },
                       "it is larger than 1048576 bytes");
     }},
    {"last-login file: a folder", "\"It is a folder\" on showing; every press fails at the save, before any lookup",
     [] { lastLoginFile([](const QString &p) { QDir().mkdir(p); }, "It is a folder", "Cannot create file"); }},
    {"last-login file: unreadable to the clerk", "\"Permission denied\" on showing; the next press logs in over a "
     "good file",
     [] {
         lastLoginFile(
             [](const QString &p) {
                 writeFile(p, R"({"table": "dsLogin", "fields": [], "rows": []})");
                 QFile::setPermissions(p, {});
             },
             "Permission denied", nullptr, true);
     }},

    {"declaration path: a missing folder", "\"Cannot create file\" with the path and the reason; no file",
     [] { declarationPath(Place::MissingFolder); }},
    {"declaration path: a read-only folder", "the same", [] { declarationPath(Place::ReadOnlyFolder); }},
    {"declaration path: a full file system", "\"Cannot write file\"; the earlier declaration there stays whole",
     [] { declarationPath(Place::FullFileSystem); }},
};

} // namespace

TEST(BadInput, EachGivesTheNormalOutcome)
{
    for (const BadInput &b : badInputs) {
        SCOPED_TRACE(std::string(b.input) + " -> " + b.expected);
        b.run();
    }
}
