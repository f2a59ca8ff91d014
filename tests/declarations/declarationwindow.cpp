#include "declarationwindow.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace korvat::test {

void DeclarationWindow::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    folder = dir.path();
    app.setErrorPresenter([this](const QString &, const QString &text) { errors << text; });
    db.configure(dmCon.conZub);
    db.exec("insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie) values "
            "('RO0012345DI02', 'destinatar inregistrat'), ('RO0012345DI01', 'destinatar inregistrat'), "
            "('RO0012345AF01', 'antrepozit fiscal')");
    window = std::make_unique<TfEmcsDeclA47>(dmCon, &menu);
    window->today = [this] { return today; };
    window->machineFolder = [this] { return folder; };
    window->SaveDialog1->answer = [this](const declarations::SaveDialog &dialog) {
        proposed << dialog.fileName();
        return answer;
    };
}

void DeclarationWindow::replaceDeclaration(const std::vector<std::optional<QString>> &rows)
{
    QStringList values;
    for (const auto &row : rows)
        values << (row ? QStringLiteral("$v$%1$v$").arg(*row) : QStringLiteral("null"));
    db.exec(QStringLiteral(
                "create or replace function o_emcs_xml_anexa19(pdata date, pemcseucodaccizadepozit text) "
                "returns table (o_emcs_xml_anexa19 text) language sql as $f$ "
                "select r from unnest(array[%1]::text[]) with ordinality as u (r, n) order by n $f$")
                .arg(values.join(QLatin1Char(','))));
}

void DeclarationWindow::choose(const QString &authorisation)
{
    QComboBox *box = window->cxComboBoxCodEuAcciza;
    const int index = box->findText(authorisation);
    ASSERT_GE(index, 0) << authorisation.toStdString();
    box->setCurrentIndex(index);
}

void DeclarationWindow::type(const QString &text)
{
    QLineEdit *edit = window->cxComboBoxCodEuAcciza->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, text);
}

void DeclarationWindow::pickInCalendar(const QDate &day)
{
    QCalendarWidget *calendar = window->DateTimePicker1->calendarWidget();
    calendar->setSelectedDate(day);
    QTest::keyClick(calendar->findChild<QTableView *>(), Qt::Key_Return);
}

void DeclarationWindow::generate()
{
    QTest::mouseClick(window->ButtonGenerareXmlDecl47, Qt::LeftButton);
}

QStringList DeclarationWindow::calls()
{
    return db.rows("select to_char(pdata, 'YYYY-MM-DD'), cod from emcs_anexa19_apel order by id");
}

QByteArray DeclarationWindow::bytesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

QStringList DeclarationWindow::entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace korvat::test
