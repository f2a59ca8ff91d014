#include "excise/u_fEmcsFacturiFurnizor.h"

#include "data/u_dmCon.h"
#include "platform/forms/guard.h"
#include "platform/forms/layout.h"
#include "platform/grid/displayformat.h"

#include <QLabel>
#include <QPushButton>

using namespace korvat::forms;
using korvat::grid::GridColumn;
using korvat::pg::ParamType;

namespace {

const QString authorisationColumn = QStringLiteral("emcs_eu_cod_acciza_depozit");
const QString supplierNumberColumn = QStringLiteral("emcs_partener_cod_acciza_depozit");

// The first day of the month that 30 days back falls in: early in a month the list still starts with
// the whole of the month before.
QDate startDate(const QDate &today)
{
    const QDate back = today.addDays(-30);
    return QDate(back.year(), back.month(), 1);
}

} // namespace

TfEmcsFacturiFurnizor::TfEmcsFacturiFurnizor(TdmCon &dmCon, QWidget *owner)
    : Form(owner),
      dsDocFactF(QStringLiteral("dsDocFactF"), &dmCon.conZub),
      dsEmcsAutorizatie(QStringLiteral("dsEmcsAutorizatie"), &dmCon.conZub),
      dsEmcsPartenerCodAccizaDepozit(QStringLiteral("dsEmcsPartenerCodAccizaDepozit"), &dmCon.conZub),
      today(&QDate::currentDate)
{
    setUpWindow(this, QStringLiteral("fEmcsFacturiFurnizor"), 1236, 585);

    Label1 = titleLabel(this, QStringLiteral("Label1"), QStringLiteral("Facturi furnizor cu produse accizabile"), 8, 8);

    Label2 = place(new QLabel(QStringLiteral("Incepand cu data"), this), 8, 38, 0, 0);
    Label2->setObjectName(QStringLiteral("Label2"));
    fitLabelToText(Label2, LabelFit::Exact);

    cxDateEditDataIncep =
        place(new korvat::grid::DateEditor(korvat::grid::DisplayFormat().datePattern(), this), 105, 35, 89, 23);
    cxDateEditDataIncep->setObjectName(QStringLiteral("cxDateEditDataIncep"));

    ButtonCauta = place(new QPushButton(QStringLiteral("Cauta"), this), 200, 34, 75, 25);
    ButtonCauta->setObjectName(QStringLiteral("ButtonCauta"));
    ButtonCauta->setAutoDefault(false);

    cxGrid1 = place(new korvat::grid::DataGridView(this), 8, 66, 1220, 511);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    anchor(cxGrid1, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    cxGrid1->setGridStyleSheet(dmCon.GridTableViewStyleSheetDevExpress);

    setTabOrder(ButtonCauta, cxGrid1);
    setTabOrder(cxGrid1, cxDateEditDataIncep);

    declareComponents();

    connectGuarded(ButtonCauta, &QPushButton::clicked, this, &TfEmcsFacturiFurnizor::ButtonCautaClick);
    // The query runs these inside operations that the guard or the grid already reports for.
    dsDocFactF.afterScroll = [this](korvat::pg::Query &) { dsDocFactFAfterScroll(); };
    dsDocFactF.beforePost = [this](korvat::pg::Query &) { dsDocFactFBeforePost(); };
}

void TfEmcsFacturiFurnizor::declareComponents()
{
    dsDocFactF.setSql(QStringList{
        "select doc.data_doc,",
        "       doc.tip_doc,",
        "       doc.nr_doc,",
        "       doc.partener,",
        "       doc.data_doc_ue_baza,",
        "       doc.tip_doc_ue_baza,",
        "       doc.nr_doc_ue_baza,",
        "       doc.emcs_eu_cod_acciza_depozit,",
        "       doc.emcs_partener_cod_acciza_depozit,",
        "       (select string_agg(data_doc || ' ' || nr_doc, ', ')",
        "        from doc_creare",
        "        where doc_creare.data_doc_sursa = doc.data_doc",
        "          and doc_creare.tip_doc_sursa  = doc.tip_doc",
        "          and doc_creare.nr_doc_sursa   = doc.nr_doc",
        "          and doc_creare.tip_doc        = 'NIR'",
        "       ) as nir",
        "from doc",
        "where doc.tip_doc in ('FactFI', 'FactFE')",
        "  and doc.data_doc between :pDataIncep and current_date",
        "  and exists (select *",
        "       from doc_poz",
        "       where data_doc = doc.data_doc",
        "         and tip_doc  = doc.tip_doc",
        "         and nr_doc   = doc.nr_doc",
        "         and acciza_id is not null",
        "      )",
        "order by data_doc,",
        "         tip_doc,",
        "         nr_doc",
        ";",
    });
    dsDocFactF.declareParam(QStringLiteral("pDataIncep"), ParamType::Date);
    dsDocFactF.addFields({"data_doc D R", "tip_doc S7 R", "nr_doc S15 R", "partener S100", "data_doc_ue_baza D",
                          "tip_doc_ue_baza S7", "nr_doc_ue_baza S30", "emcs_eu_cod_acciza_depozit S23",
                          "emcs_partener_cod_acciza_depozit S23", "nir M RO"});
    dsDocFactF.setUpdateTable(QStringLiteral("doc"),
                              {QStringLiteral("data_doc"), QStringLiteral("tip_doc"), QStringLiteral("nr_doc")});
    dsDocFactFtip_doc_ue_baza = dsDocFactF.field(QStringLiteral("tip_doc_ue_baza"));
    dsDocFactFemcs_eu_cod_acciza_depozit = dsDocFactF.field(authorisationColumn);
    dsDocFactFemcs_partener_cod_acciza_depozit = dsDocFactF.field(supplierNumberColumn);

    dsEmcsAutorizatie.setSql(QStringList{
        "select *",
        "from emcs_autorizatie",
        "where tip_autorizatie ilike 'destinatar%'",
        "order by nr_autorizatie",
        ";",
    });
    dsEmcsAutorizatie.addFields({"nr_autorizatie S23 R", "tip_autorizatie S100 R", "data_ins T R"});
    dsEmcsAutorizatienr_autorizatie = dsEmcsAutorizatie.field(QStringLiteral("nr_autorizatie"));

    dsEmcsPartenerCodAccizaDepozit.setSql(QStringList{
        "select distinct partener,",
        "                emcs_partener_cod_acciza_depozit",
        "from",
        "(",
        "select doc.data_doc,",
        "       doc.tip_doc,",
        "       doc.nr_doc,",
        "       doc.partener,",
        "       doc.data_doc_ue_baza,",
        "       doc.tip_doc_ue_baza,",
        "       doc.nr_doc_ue_baza,",
        "       doc.emcs_eu_cod_acciza_depozit,",
        "       doc.emcs_partener_cod_acciza_depozit",
        "from doc",
        "where doc.tip_doc in ('FactFI', 'FactFE')",
        "  and tip_doc_ue_baza = 'eDA'",
        "  and partener = :partener",
        "  and exists (select *",
        "       from doc_poz",
        "       where data_doc = doc.data_doc",
        "         and tip_doc  = doc.tip_doc",
        "         and nr_doc   = doc.nr_doc",
        "         and acciza_id is not null",
        "      )",
        "order by partener,",
        "         emcs_partener_cod_acciza_depozit",
        ") as a",
        ";",
    });
    dsEmcsPartenerCodAccizaDepozit.addFields({"partener S100 RO", "emcs_partener_cod_acciza_depozit S23 RO"});
    dsEmcsPartenerCodAccizaDepozitemcs_partener_cod_acciza_depozit =
        dsEmcsPartenerCodAccizaDepozit.field(supplierNumberColumn);
    dsEmcsPartenerCodAccizaDepozit.setMaster(&dsDocFactF);

    cxGrid1->setQuery(&dsDocFactF);
    cxGrid1->setColumns({
        GridColumn{QStringLiteral("data_doc"), QStringLiteral("dataDoc"), 69, true},
        GridColumn{QStringLiteral("tip_doc"), QStringLiteral("tipDoc"), 55, true},
        GridColumn{QStringLiteral("nr_doc"), QStringLiteral("nrDoc"), 100, true},
        GridColumn{QStringLiteral("partener"), {}, 282, true},
        GridColumn{QStringLiteral("data_doc_ue_baza"), QStringLiteral("dataDocUE"), 78},
        GridColumn{QStringLiteral("tip_doc_ue_baza"), QStringLiteral("tipDocUE"), 80},
        GridColumn{QStringLiteral("nr_doc_ue_baza"), QStringLiteral("nrDocUE"), 158},
        GridColumn{authorisationColumn, QStringLiteral("nrAutorizatieEu"), 110},
        GridColumn{supplierNumberColumn, QStringLiteral("nrAutorizatieFurn"), 110},
        GridColumn{QStringLiteral("nir"), {}, 144, true},
    });
    cxGrid1->setComboItems(QStringLiteral("tip_doc_ue_baza"), {QStringLiteral("eDA"), QStringLiteral("VAMA")});
}

void TfEmcsFacturiFurnizor::FormShow()
{
    cxDateEditDataIncep->setValue(startDate(today()));

    dsEmcsAutorizatie.open();
    QStringList numbers;
    for (dsEmcsAutorizatie.first(); !dsEmcsAutorizatie.eof(); dsEmcsAutorizatie.next())
        numbers << dsEmcsAutorizatienr_autorizatie.asString();
    cxGrid1->setComboItems(authorisationColumn, numbers);
    dsEmcsAutorizatie.close();
}

void TfEmcsFacturiFurnizor::ButtonCautaClick()
{
    // An emptied editor sends NULL, for which the list has no rows.
    const QDate start = cxDateEditDataIncep->value();
    dsDocFactF.setParam(QStringLiteral("pDataIncep"), start.isValid() ? QVariant(start) : QVariant());
    cxGrid1->reloadQuery();
}

// The supplier numbers already entered on the eDA invoices of the current row's partner, which the
// detail query takes from the invoice list; a NULL among them is an empty entry.
void TfEmcsFacturiFurnizor::dsDocFactFAfterScroll()
{
    dsEmcsPartenerCodAccizaDepozit.open();
    QStringList numbers;
    for (dsEmcsPartenerCodAccizaDepozit.first(); !dsEmcsPartenerCodAccizaDepozit.eof();
         dsEmcsPartenerCodAccizaDepozit.next())
        numbers << dsEmcsPartenerCodAccizaDepozitemcs_partener_cod_acciza_depozit.asString();
    cxGrid1->setComboItems(supplierNumberColumn, numbers);
    dsEmcsPartenerCodAccizaDepozit.close();
}

// A cleared reference cell leaves an empty text; the invoice is to carry no reference there.
void TfEmcsFacturiFurnizor::dsDocFactFBeforePost()
{
    if (dsDocFactFemcs_eu_cod_acciza_depozit.asString().isEmpty())
        dsDocFactFemcs_eu_cod_acciza_depozit.setNull();
    if (dsDocFactFemcs_partener_cod_acciza_depozit.asString().isEmpty())
        dsDocFactFemcs_partener_cod_acciza_depozit.setNull();
    if (dsDocFactFtip_doc_ue_baza.asString().isEmpty())
        dsDocFactFtip_doc_ue_baza.setNull();
}
