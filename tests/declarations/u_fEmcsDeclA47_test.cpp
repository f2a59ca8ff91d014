#include "declarationwindow.h"

#include "platform/shell/open.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

using namespace korvat;
using korvat::test::DeclarationWindow;

namespace {

const QString noAuthorisation = QStringLiteral("Alegeti codul de acciza pentru care se genereaza declaratia.");

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

TEST_F(DeclarationWindow, AuthorisationListIsFilledOnceAndKeptBetweenShowings)
{
    db.exec("alter table emcs_autorizatie rename to emcs_autorizatie_x");
    const struct {
        const char *step;
        const char *sqlBefore;
        QDate today;
        QStringList items;
        bool error;
        const char *text;
    } steps[] = {
        {"the query fails", "", {2023, 7, 29}, {}, true, ""},
        {"no registered consignee", "alter table emcs_autorizatie_x rename to emcs_autorizatie; "
                                    "delete from emcs_autorizatie where tip_autorizatie <> 'antrepozit fiscal'",
         {2023, 8, 2}, {}, false, ""},
        {"asked again while the list is empty",
         "insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) values "
         "('RO0012345DI02', 'destinatar inregistrat'), ('RO0012345DI01', 'destinatar inregistrat')",
         {2024, 1, 31}, {"RO0012345DI01", "RO0012345DI02"}, false, ""},
        {"not asked again once filled",
         "insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) values ('RO0012345DI00', 'destinatar inregistrat')",
         {2024, 2, 29}, {"RO0012345DI01", "RO0012345DI02"}, false, "RO0012345DI02"},
    };
    for (const auto &s : steps) {
        if (*s.sqlBefore)
            db.exec(QString::fromLatin1(s.sqlBefore));
        errors.clear();
        today = s.today;
        window->hide();
        window->showModeless();
        EXPECT_EQ(itemsOf(window->cxComboBoxCodEuAcciza), s.items) << s.step;
        EXPECT_EQ(errors.size(), s.error ? 1 : 0) << s.step << ": " << errors.join(" / ").toStdString();
        EXPECT_EQ(window->DateTimePicker1->date(), s.today) << s.step;
        // Filling the list selects nothing, and the clerk's choice outlives a showing.
        EXPECT_EQ(window->cxComboBoxCodEuAcciza->currentText(), s.text) << s.step;
        if (!s.items.isEmpty())
            choose("RO0012345DI02");
    }
}

TEST_F(DeclarationWindow, ServerIsAskedTwiceForThePickedDayAndTheProposalNamesItsMonth)
{
    window->showModeless();
    const struct {
        const char *step;
        QDate pick;     // invalid: the day the showing set
        const char *authorisation;
        const char *day;
        const char *name;
        const char *month;
    } steps[] = {
        {"today as the showing set it", {}, "RO0012345DI02", "2023-07-29", "EMCS_RO0012345DI02_iul.-2023.xml",
         "luna=\"07\" an=\"2023\""},
        {"a day picked in the calendar", {2024, 3, 17}, "RO0012345DI01", "2024-03-17",
         "EMCS_RO0012345DI01_mar.-2024.xml", "luna=\"03\" an=\"2024\""},
        {"another month", {2024, 11, 5}, "RO0012345DI01", "2024-11-05", "EMCS_RO0012345DI01_nov.-2024.xml",
         "luna=\"11\" an=\"2024\""},
    };
    QStringList expectedCalls;
    for (const auto &s : steps) {
        if (s.pick.isValid())
            pickInCalendar(s.pick);
        choose(s.authorisation);
        const QString saved = dir.filePath(QString::fromLatin1(s.step));
        answer = saved;
        proposed.clear();
        generate();
        ASSERT_EQ(errors, QStringList()) << s.step;

        const QString call = QString::fromLatin1(s.day) + '|' + s.authorisation;
        expectedCalls << call << call;
        EXPECT_EQ(calls(), expectedCalls) << s.step;
        EXPECT_EQ(db.rows("select count(distinct sesiune) from (select sesiune from emcs_anexa19_apel"
                          " order by id desc limit 2) last"),
                  QStringList{"1"})
            << s.step << ": both executions over one connection";
        EXPECT_EQ(proposed, QStringList{dir.filePath(QString::fromLatin1(s.name))}) << s.step;
        // The file holds this generation's declaration, not the previous one's.
        EXPECT_TRUE(bytesOf(saved).contains(s.month)) << s.step;
        EXPECT_EQ(window->LabelPathSave->text(), QDir::toNativeSeparators(saved)) << s.step;
    }
}

TEST_F(DeclarationWindow, NoAuthorisationChosenStopsBeforeTheServer)
{
    window->showModeless();
    choose("RO0012345DI01");
    answer = dir.filePath("previous.xml");
    generate();
    ASSERT_EQ(errors, QStringList());
    const QString link = window->LabelPathSave->text();

    const struct {
        const char *name;
        std::function<void()> act;
        QString error;
        int calls;
    } cases[] = {
        {"nothing chosen", [&] { window->cxComboBoxCodEuAcciza->setCurrentIndex(-1); }, noAuthorisation, 2},
        {"typed over a chosen entry", [&] { choose("RO0012345DI01"); type("RO0012345DI0X"); }, noAuthorisation, 2},
        {"an entry in other letters", [&] { type("ro0012345di01"); }, noAuthorisation, 2},
        {"an entry of the database not in the list",
         [&] { type("RO0012345AF01"); }, noAuthorisation, 2},
        {"the server function fails",
         [&] {
             choose("RO0012345DI01");
             db.exec("create or replace function o_emcs_xml_anexa19(pdata date, pemcseucodaccizadepozit text) "
                     "returns table (o_emcs_xml_anexa19 text) language plpgsql as "
                     "$f$ begin raise exception 'declaratia nu se poate genera'; end $f$");
         },
         "declaratia nu se poate genera", 2},
    };
    for (const auto &c : cases) {
        c.act();
        errors.clear();
        proposed.clear();
        generate();
        ASSERT_EQ(errors.size(), 1) << c.name;
        EXPECT_TRUE(errors[0].contains(c.error)) << c.name << ": " << errors[0].toStdString();
        EXPECT_EQ(calls().size(), c.calls) << c.name;
        EXPECT_EQ(proposed, QStringList()) << c.name;
        EXPECT_EQ(window->LabelPathSave->text(), link) << c.name;
    }
}

TEST_F(DeclarationWindow, CancelWritesNothingAndTheLinkShowsTheProposedPath)
{
    window->showModeless();
    choose("RO0012345DI01");
    const struct {
        const char *name;
        QString folder;
        QString link;
    } cases[] = {
        {"machine folder", dir.path(), QDir::toNativeSeparators(dir.filePath("EMCS_RO0012345DI01_iul.-2023.xml"))},
        {"no machine folder", "", QDir::separator() + QStringLiteral("EMCS_RO0012345DI01_iul.-2023.xml")},
    };
    for (const auto &c : cases) {
        folder = c.folder;
        answer.reset();
        generate();
        ASSERT_EQ(errors, QStringList()) << c.name;
        EXPECT_EQ(window->LabelPathSave->text(), c.link) << c.name;
        EXPECT_GE(window->LabelPathSave->width(), window->LabelPathSave->sizeHint().width()) << c.name;
        EXPECT_EQ(entriesOf(dir.path()), QStringList()) << c.name;
    }
    const auto *dialog = window->SaveDialog1;
    EXPECT_EQ(dialog->nameFilters(), QStringList{"*.xml"});
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog->defaultSuffix(), "");
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
}

// The dialog itself, as the clerk sees it: it opens at the proposed name, and a name typed without
// an extension replaces the existing file of that name with no question asked.
TEST_F(DeclarationWindow, SaveDialogProposesTheNameAndReplacesWithoutAsking)
{
    const QString existing = dir.filePath("declaratie");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old declaration");
    }
    replaceDeclaration({"a"});
    window->SaveDialog1->answer = nullptr;
    window->showModeless();
    choose("RO0012345DI01");

    // The clerk types the name and presses Enter; a question about replacing would be answered yes.
    QStringList shownAtFirst;
    bool askedBeforeReplacing = false;
    const auto answerQuestion = [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            askedBeforeReplacing = true;
            box->done(QMessageBox::Yes);
        }
    };
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shownAtFirst = dialog->selectedFiles();
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        edit->setText(QStringLiteral("declaratie"));
        QTimer::singleShot(0, answerQuestion);
        QTest::keyClick(edit, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->reject();
    });
    generate();

    ASSERT_EQ(errors, QStringList());
    EXPECT_EQ(shownAtFirst, QStringList{dir.filePath("EMCS_RO0012345DI01_iul.-2023.xml")});
    EXPECT_FALSE(askedBeforeReplacing);
    EXPECT_EQ(bytesOf(existing), QByteArray("\xEF\xBB\xBF" "a\r\n"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"declaratie"});
    EXPECT_EQ(window->LabelPathSave->text(), QDir::toNativeSeparators(existing));
}

TEST_F(DeclarationWindow, LinkOpensTheFileItNames)
{
    QStringList opened;
    const auto previous = shell::setOpener([&](const QString &path) { opened << path; });
    window->showModeless();

    QTest::mouseClick(window->LabelPathSave, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList()) << "a link that names nothing opens nothing";

    choose("RO0012345DI01");
    answer = dir.filePath("declaratie.xml");
    generate();
    QTest::mouseClick(window->LabelPathSave, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{QDir::toNativeSeparators(dir.filePath("declaratie.xml"))});
    shell::setOpener(previous);
}

// The demo company's declarations, produced by the function the project ships, parsed as XML.
TEST_F(DeclarationWindow, DemoDeclarationIsWellFormedXml)
{
    db.exec("delete from emcs_autorizatie");
    QFile demo(QStringLiteral(KORVAT_SOURCE_DIR "/db/demo_erp.sql"));
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    db.exec(QString::fromUtf8(demo.readAll()));
    // The demo's invoices are dated from the day it is loaded.
    const QDate serverToday = QDate::fromString(db.scalar("select current_date::text"), Qt::ISODate);
    today = serverToday;
    window->showModeless();

    const struct {
        const char *name;
        int monthsBack;
        const char *authorisation;
        int lines;
        QStringList names;      // partners and articles that must read back as they are
    } cases[] = {
        {"this month", 0, "RO0012345DI01", 7,
         {"A & B <SRL>", "Lichior de visine \"Bunica\" 0.5L", "Whisky 'Highland' 12 ani 0.7L"}},
        {"two months ago", 2, "RO0012345DI01", 8, {"A & B <SRL>"}},
        {"a month without invoices", 6, "RO0012345DI01", 0, {}},
        {"another authorisation", 0, "RO0012345DI02", 0, {}},
    };
    for (const auto &c : cases) {
        pickInCalendar(serverToday.addMonths(-c.monthsBack));
        choose(c.authorisation);
        answer = dir.filePath(QString::fromLatin1(c.name) + ".xml");
        generate();
        ASSERT_EQ(errors, QStringList()) << c.name;

        QByteArray bytes = bytesOf(*answer);
        ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << c.name;
        QXmlStreamReader xml(bytes.mid(3));
        int lines = 0;
        QString declared;
        QStringList names;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"achizitie") {
                ++lines;
                names << xml.attributes().value("furnizor").toString() << xml.attributes().value("articol").toString();
            } else if (xml.name() == u"totaluri") {
                declared = xml.attributes().value("nrAchizitii").toString();
            } else if (xml.name() == u"declaratieA47") {
                EXPECT_EQ(xml.attributes().value("nrAutorizatie"), QString::fromLatin1(c.authorisation)) << c.name;
                EXPECT_EQ(xml.attributes().value("luna").toInt(), serverToday.addMonths(-c.monthsBack).month()) << c.name;
            }
        }
        EXPECT_FALSE(xml.hasError()) << c.name << ": " << xml.errorString().toStdString() << " at line "
                                     << xml.lineNumber();
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(declared, QString::number(c.lines)) << c.name;
        for (const QString &n : c.names)
            EXPECT_TRUE(names.contains(n)) << c.name << ": " << n.toStdString();
    }
}
