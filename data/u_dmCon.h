// The connection module: the two connections, the login's queries, the login context and the style
// sheet every grid of the program uses. It has no behaviour of its own; the login drives it.
#pragma once

#include "platform/grid/gridstyle.h"
#include "platform/pg/connection.h"
#include "platform/pg/query.h"

#include <QObject>
#include <QString>

class TdmCon : public QObject {
    Q_OBJECT
public:
    // Where the two connections go and with which passwords; the program builds these in.
    struct Settings {
        QString directoryHost;
        int directoryPort = 5432;
        QString directoryPassword;
        QString companyHost;
        int companyPort = 5432;
        QString companyPassword;
        static Settings builtIn();
    };

    explicit TdmCon(const Settings &settings = Settings::builtIn(), QObject *parent = nullptr);

    korvat::pg::Connection conZub{QStringLiteral("conZub")};
    korvat::pg::Connection conZubMob{QStringLiteral("conZubMob")};
    korvat::pg::Query dsEmitent{QStringLiteral("dsEmitent"), &conZub};
    korvat::pg::Query dsAplicatieMob{QStringLiteral("dsAplicatieMob"), &conZub};
    korvat::pg::Query dsEu{QStringLiteral("dsEu"), &conZub};
    korvat::grid::GridStyle cxStyle1, cxStyle2, cxStyle3, cxStyle4, cxStyle5, cxStyle6, cxStyle7, cxStyle8,
        cxStyle9, cxStyle10, cxStyle11, cxStyle12, cxStyle13, cxStyle14;
    korvat::grid::GridStyleSheet GridTableViewStyleSheetDevExpress;
    korvat::pg::Query dsAplicatieMobEmitent{QStringLiteral("dsAplicatieMobEmitent"), &conZub};

    // The fields the login reads.
    korvat::pg::Field dsEmitenteu_punct_lucru{nullptr, -1};
    korvat::pg::Field dsAplicatieMobEmitentrol{nullptr, -1};
    korvat::pg::Field dsEujas_ip{nullptr, -1};

    // The login context, empty until a login fills it.
    QString glNumeFirma;
    QString glUser;
    QString glUserPass;
    QString glDataBase;
    QString glUserRol;
    QString glEuPL;
    QString glJasIP;
    QString glJasProtocol;

private:
    void declareQueries();
    void declareStyles();
};
