// The article window: every article with its excise attributes and the code and name of its excise
// category, corrected in place and written straight back to the article's row in articol.
#pragma once

#include "platform/forms/form.h"
#include "platform/grid/datagridview.h"
#include "platform/pg/query.h"

class QLabel;
class TdmCon;

class TfEmcsArticole : public korvat::forms::Form {
    Q_OBJECT
public:
    TfEmcsArticole(TdmCon &dmCon, QWidget *owner);

    QLabel *Label1;
    korvat::grid::DataGridView *cxGrid1;

    korvat::pg::Query dsArticol;

    void FormShow();

protected:
    void formShow() override { FormShow(); }

private:
    void declareComponents();
};
