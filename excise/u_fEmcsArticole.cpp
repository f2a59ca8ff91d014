#include "excise/u_fEmcsArticole.h"

#include "data/u_dmCon.h"
#include "platform/forms/guard.h"
#include "platform/forms/layout.h"

#include <QLabel>

using namespace korvat::forms;
using korvat::grid::GridColumn;

TfEmcsArticole::TfEmcsArticole(TdmCon &dmCon, QWidget *owner)
    : Form(owner), dsArticol(QStringLiteral("dsArticol"), &dmCon.conZub)
{
    setUpWindow(this, QStringLiteral("fEmcsArticole"), 1284, 661);

    Label1 = titleLabel(this, QStringLiteral("Label1"), QStringLiteral("Articole"), 8, 8);

    cxGrid1 = place(new korvat::grid::DataGridView(this), 8, 32, 1268, 621);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    anchor(cxGrid1, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    cxGrid1->setGridStyleSheet(dmCon.GridTableViewStyleSheetDevExpress);

    declareComponents();
}

void TfEmcsArticole::declareComponents()
{
    dsArticol.setSql(QStringList{
        "select articol.articol,",
        "       articol.um,",
        "       articol.emcs_density,",
        "       articol.emcs_plato_degree,",
        "       articol.packaging,",
        "       articol.cod_nc,",
        "       articol.grad_alcoolic,",
        "       articol.capacitate_litri,",
        "       articol.greutate_neta,",
        "       articol.acciza_id,",
        "       acciza.cod_acciza_ro,",
        "       acciza.den_acciza",
        "from articol left outer join acciza on articol.acciza_id = acciza.acciza_id",
        "order by articol.articol",
        ";",
    });
    dsArticol.addFields({"articol S200 R", "um S5 R", "emcs_density F", "emcs_plato_degree F", "packaging S7",
                         "cod_nc S23", "grad_alcoolic F", "capacitate_litri F", "greutate_neta F", "acciza_id I",
                         "cod_acciza_ro M RO", "den_acciza S100 RO"});
    // The update finds the row by the article's name as it was read, also when the clerk renames it.
    dsArticol.setUpdateTable(QStringLiteral("articol"), {QStringLiteral("articol")});

    cxGrid1->setQuery(&dsArticol);
    cxGrid1->setColumns({
        GridColumn{QStringLiteral("articol"), {}, 293},
        GridColumn{QStringLiteral("um"), {}, 37},
        GridColumn{QStringLiteral("cod_nc"), {}, 62},
        GridColumn{QStringLiteral("greutate_neta"), {}, 96},
        GridColumn{QStringLiteral("grad_alcoolic"), {}, 88},
        GridColumn{QStringLiteral("capacitate_litri"), {}, 96},
        GridColumn{QStringLiteral("packaging"), {}, 73},
        GridColumn{QStringLiteral("emcs_plato_degree"), {}, 123},
        GridColumn{QStringLiteral("emcs_density"), {}, 90},
        GridColumn{QStringLiteral("acciza_id"), {}, 64},
        GridColumn{QStringLiteral("cod_acciza_ro"), {}, 94, true},
        GridColumn{QStringLiteral("den_acciza"), {}, 120, true},
    });
}

void TfEmcsArticole::FormShow()
{
    cxGrid1->reloadQuery();
}
