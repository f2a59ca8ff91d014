// The supplier-invoice window: the supplier invoices with excise goods from a start date up to today,
// on which the clerk completes the excise references (base document, the company's authorisation
// and the supplier's excise number) that are written straight back to the invoice's row in doc.
#pragma once

#include "platform/forms/form.h"
#include "platform/grid/datagridview.h"
#include "platform/grid/grideditors.h"
#include "platform/pg/query.h"

#include <QDate>
#include <functional>

class QLabel;
class QPushButton;
class TdmCon;

class TfEmcsFacturiFurnizor : public korvat::forms::Form {
    Q_OBJECT
public:
    TfEmcsFacturiFurnizor(TdmCon &dmCon, QWidget *owner);

    QLabel *Label1;
    QLabel *Label2;
    // Empty stands for no start date.
    korvat::grid::DateEditor *cxDateEditDataIncep;
    QPushButton *ButtonCauta;
    korvat::grid::DataGridView *cxGrid1;

    korvat::pg::Query dsDocFactF;
    korvat::pg::Field dsDocFactFtip_doc_ue_baza{nullptr, -1};
    korvat::pg::Field dsDocFactFemcs_eu_cod_acciza_depozit{nullptr, -1};
    korvat::pg::Field dsDocFactFemcs_partener_cod_acciza_depozit{nullptr, -1};
    korvat::pg::Query dsEmcsAutorizatie;
    korvat::pg::Field dsEmcsAutorizatienr_autorizatie{nullptr, -1};
    korvat::pg::Query dsEmcsPartenerCodAccizaDepozit;
    korvat::pg::Field dsEmcsPartenerCodAccizaDepozitemcs_partener_cod_acciza_depozit{nullptr, -1};

    void FormShow();
    void ButtonCautaClick();
    void dsDocFactFAfterScroll();
    void dsDocFactFBeforePost();

    // Today's date, from which each showing works out the start date.
    std::function<QDate()> today;

protected:
    void formShow() override { FormShow(); }

private:
    void declareComponents();
};
