#include "declarations/u_fEmcsDeclA47.h"

#include "data/u_dmCon.h"
#include "platform/forms/guard.h"
#include "platform/forms/layout.h"
#include "platform/pg/connection.h"
#include "platform/shell/folders.h"
#include "platform/shell/open.h"
#include "platform/shell/savefile.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <optional>
#include <stdexcept>
#include <type_traits>

using namespace korvat::forms;
using korvat::pg::ParamType;

namespace {

const char *const noAuthorisationText = "Alegeti codul de acciza pentru care se genereaza declaratia";
const char *const declarationSql = "SELECT * FROM o_emcs_xml_anexa19(:pdata, :pemcseucodaccizadepozit)";

template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A label sized to its caption.
QLabel *label(QWidget *parent, const char *name, const char *caption, int left, int top)
{
    auto *l = named(place(new QLabel(QString::fromUtf8(caption), parent), left, top, 0, 0), name);
    fitLabelToText(l, LabelFit::Exact);
    return l;
}

// The declaration as the file holds it: the byte-order mark, then every row in UTF-8 followed by
// CR LF, a NULL row as an empty line. The rows are the server's text; nothing is checked or changed.
QByteArray declarationBytes(const korvat::pg::Query &rows, int field)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (const std::optional<QAnyStringView> text = rows.cellView(r, field))
            text->visit([&bytes](auto view) {
                // The server's own UTF-8 is written as it came; only an edited cell is a QString.
                if constexpr (std::is_same_v<decltype(view), QUtf8StringView>)
                    bytes.append(view.data(), view.size());
                else
                    bytes.append(view.toString().toUtf8());
            });
        bytes.append("\r\n", 2);
    }
    return bytes;
}

// Writes beside the file and renames over it, so that an existing declaration of that name stays
// whole until the new one is complete, and a failed write leaves no partial file. In a folder the
// clerk cannot create files in, an existing writable file is written in place.
void saveDeclaration(const QString &path, const QByteArray &bytes)
{
    const QString failure = korvat::shell::replaceFile(QFileInfo(path).absoluteFilePath(), bytes,
                                                       korvat::shell::WriteInPlace::WhenFolderIsReadOnly);
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
}

} // namespace

TfEmcsDeclA47::TfEmcsDeclA47(TdmCon &dmCon, QWidget *owner)
    : Form(owner),
      dsEmcsAutorizatie(QStringLiteral("dsEmcsAutorizatie"), &dmCon.conZub),
      o_emcs_xml_anexa19(QStringLiteral("o_emcs_xml_anexa19"), &dmCon.conZub),
      dsXML(QStringLiteral("dsXML"), &dmCon.conZub),
      today(&QDate::currentDate),
      machineFolder(&korvat::shell::machineAppDataFolder)
{
    setUpWindow(this, QStringLiteral("fEmcsDeclA47"), 1035, 431);

    Label3 = titleLabel(this, QStringLiteral("Label3"),
                        QStringLiteral("EMCS Declaratia A47  ( Anexa 19) - achizitii/importuri de produse accizabile"),
                        8, 8);

    Label1 = label(this, "Label1", "Alege an/luna raportare", 8, 39);

    DateTimePicker1 = named(place(new QDateEdit(this), 141, 35, 70, 23), "DateTimePicker1");
    DateTimePicker1->setCalendarPopup(true);
    // Month and year only are shown; the value keeps the day picked in the calendar, which is
    // what the server is sent.
    DateTimePicker1->setDisplayFormat(QStringLiteral("MMM.yyyy"));

    Label2 = label(this, "Label2", "Cod acciza ", 226, 39);

    cxComboBoxCodEuAcciza = named(new QComboBox(this), "cxComboBoxCodEuAcciza");
    cxComboBoxCodEuAcciza->setEditable(true);
    // Enter would otherwise add the typed text to the list.
    cxComboBoxCodEuAcciza->setInsertPolicy(QComboBox::NoInsert);
    place(cxComboBoxCodEuAcciza, 290, 36, 121, cxComboBoxCodEuAcciza->sizeHint().height());

    ButtonGenerareXmlDecl47 =
        named(place(new QPushButton(QStringLiteral("Generare XML"), this), 8, 74, 125, 25), "ButtonGenerareXmlDecl47");
    ButtonGenerareXmlDecl47->setAutoDefault(false);

    Label6 = label(this, "Label6", "Ultimul XML generat: ", 146, 78);

    LabelPathSave = named(place(new korvat::declarations::LinkLabel(this), 272, 78, 0, 0), "LabelPathSave");
    QFont linkFont = pixelFont(QStringLiteral("Segoe UI"), 12);
    linkFont.setUnderline(true);
    LabelPathSave->setFont(linkFont);
    LabelPathSave->setCursor(Qt::PointingHandCursor);
    fitLabelToText(LabelPathSave, LabelFit::Exact);

    SaveDialog1 = named(new korvat::declarations::SaveDialog(this), "SaveDialog1");

    setTabOrder(ButtonGenerareXmlDecl47, DateTimePicker1);
    setTabOrder(DateTimePicker1, cxComboBoxCodEuAcciza);

    declareComponents();

    connectGuarded(ButtonGenerareXmlDecl47, &QPushButton::clicked, this, &TfEmcsDeclA47::ButtonGenerareXmlDecl47Click);
    connectGuarded(LabelPathSave, &korvat::declarations::LinkLabel::clicked, this, &TfEmcsDeclA47::LabelPathSaveClick);
}

void TfEmcsDeclA47::declareComponents()
{
    dsEmcsAutorizatie.setSql(QStringList{"select *", "from emcs_autorizatie",
                                         "where tip_autorizatie = 'destinatar inregistrat'",
                                         "order by nr_autorizatie", ";"});
    dsEmcsAutorizatie.addFields({"nr_autorizatie S23 R", "tip_autorizatie S100 R", "data_ins T R"});
    dsEmcsAutorizatienr_autorizatie = dsEmcsAutorizatie.field(QStringLiteral("nr_autorizatie"));
    dsEmcsAutorizatietip_autorizatie = dsEmcsAutorizatie.field(QStringLiteral("tip_autorizatie"));
    dsEmcsAutorizatiedata_ins = dsEmcsAutorizatie.field(QStringLiteral("data_ins"));

    o_emcs_xml_anexa19.setSql(QString::fromLatin1(declarationSql));
    o_emcs_xml_anexa19.declareParam(QStringLiteral("pdata"), ParamType::Date);
    o_emcs_xml_anexa19.declareParam(QStringLiteral("pemcseucodaccizadepozit"), ParamType::String);
    o_emcs_xml_anexa19.addFields({"o_emcs_xml_anexa19 M RO"});
    o_emcs_xml_anexa19o_emcs_xml_anexa19 = o_emcs_xml_anexa19.field(QStringLiteral("o_emcs_xml_anexa19"));

    // Its parameters have no declared type: the server takes them from the function's signature.
    dsXML.setSql(QString::fromLatin1(declarationSql));
    dsXML.addFields({"o_emcs_xml_anexa19 M RO"});
    dsXMLo_emcs_xml_anexa19 = dsXML.field(QStringLiteral("o_emcs_xml_anexa19"));
}

void TfEmcsDeclA47::FormShow()
{
    DateTimePicker1->setDate(today());
    if (cxComboBoxCodEuAcciza->count() > 0)
        return;

    dsEmcsAutorizatie.open();
    // Adding the first item would select it; the box keeps what it showed.
    const QString text = cxComboBoxCodEuAcciza->currentText();
    for (dsEmcsAutorizatie.first(); !dsEmcsAutorizatie.eof(); dsEmcsAutorizatie.next())
        cxComboBoxCodEuAcciza->addItem(dsEmcsAutorizatienr_autorizatie.asString());
    cxComboBoxCodEuAcciza->setCurrentIndex(-1);
    cxComboBoxCodEuAcciza->setEditText(text);
    dsEmcsAutorizatie.close();
}

void TfEmcsDeclA47::ButtonGenerareXmlDecl47Click()
{
    // An entry counts as chosen only when the text shown is one of the list's entries; the box's
    // index still points at the last entry picked after the clerk typed over it.
    const QString authorisation = cxComboBoxCodEuAcciza->currentText();
    if (cxComboBoxCodEuAcciza->findText(authorisation, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        throw std::runtime_error(noAuthorisationText);

    const QDate day = DateTimePicker1->date();
    {
        // Both executions on one connection: conZub connects per operation, and a second log-in
        // between them would cost as much as the rows themselves.
        korvat::pg::Connection::Lease lease(*dsXML.connection());
        o_emcs_xml_anexa19.setParam(QStringLiteral("pData"), day);
        o_emcs_xml_anexa19.setParam(QStringLiteral("pEmcsEuCodAccizaDepozit"), authorisation);
        o_emcs_xml_anexa19.execute();

        dsXML.close();
        dsXML.setParam(QStringLiteral("pdata"), day);
        dsXML.setParam(QStringLiteral("pEmcsEuCodAccizaDepozit"), authorisation);
        dsXML.open();
    }

    SaveDialog1->setNameFilter(QStringLiteral("*.xml"));
    SaveDialog1->setFileName(proposedFileName());
    if (SaveDialog1->execute())
        saveDeclaration(SaveDialog1->fileName(), declarationBytes(dsXML, dsXMLo_emcs_xml_anexa19.index()));

    LabelPathSave->setText(QDir::toNativeSeparators(SaveDialog1->fileName()));
    fitLabelToText(LabelPathSave, LabelFit::Exact);
}

// "EMCS_" + authorisation + "_" + month + ".xml" in the machine-wide folder; the month is its
// abbreviated name under the clerk's regional settings, "-" and the four-digit year.
QString TfEmcsDeclA47::proposedFileName() const
{
    const QDate day = DateTimePicker1->date();
    return machineFolder() + QStringLiteral("/EMCS_") + cxComboBoxCodEuAcciza->currentText() + QLatin1Char('_')
           + QLocale().monthName(day.month(), QLocale::ShortFormat) + QLatin1Char('-')
           + QString::number(day.year()).rightJustified(4, QLatin1Char('0')) + QStringLiteral(".xml");
}

void TfEmcsDeclA47::LabelPathSaveClick()
{
    // Before the first generation the link names nothing; asked to open "", a shell may open a
    // folder window instead.
    if (!LabelPathSave->text().isEmpty())
        korvat::shell::openWithAssociatedProgram(LabelPathSave->text());
}
