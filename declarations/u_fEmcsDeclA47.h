// The A47 declaration window ("Anexa 19"): the clerk picks a month and a registered-consignee
// authorisation, the company's database produces the declaration, and the window saves its rows as
// an XML file and shows the file's path as a link that opens it.
#pragma once

#include "declarations/linklabel.h"
#include "declarations/savedialog.h"
#include "platform/forms/form.h"
#include "platform/pg/query.h"
#include "platform/pg/storedfunction.h"

#include <QDate>
#include <QString>
#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class TdmCon;

class TfEmcsDeclA47 : public korvat::forms::Form {
    Q_OBJECT
public:
    TfEmcsDeclA47(TdmCon &dmCon, QWidget *owner);

    QLabel *Label3;
    QLabel *Label1;
    QDateEdit *DateTimePicker1;
    QLabel *Label2;
    QComboBox *cxComboBoxCodEuAcciza;
    QPushButton *ButtonGenerareXmlDecl47;
    QLabel *Label6;
    korvat::declarations::LinkLabel *LabelPathSave;
    korvat::declarations::SaveDialog *SaveDialog1;

    korvat::pg::Query dsEmcsAutorizatie;
    korvat::pg::Field dsEmcsAutorizatienr_autorizatie{nullptr, -1};
    korvat::pg::Field dsEmcsAutorizatietip_autorizatie{nullptr, -1};
    korvat::pg::Field dsEmcsAutorizatiedata_ins{nullptr, -1};
    korvat::pg::StoredFunction o_emcs_xml_anexa19;
    korvat::pg::Field o_emcs_xml_anexa19o_emcs_xml_anexa19{nullptr, -1};
    korvat::pg::Query dsXML;
    korvat::pg::Field dsXMLo_emcs_xml_anexa19{nullptr, -1};

    void ButtonGenerareXmlDecl47Click();
    void FormShow();
    void LabelPathSaveClick();

    // Today's date, which each showing puts into the month picker.
    std::function<QDate()> today;
    // The folder the declaration is proposed in, in Qt's form; "" when the system reports none.
    std::function<QString()> machineFolder;

protected:
    void formShow() override { FormShow(); }

private:
    void declareComponents();
    QString proposedFileName() const;
};
