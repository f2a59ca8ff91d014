#include "data/u_dmCon.h"
#include "platform/pg/error.h"
#include "support/sandbox.h"

#include <gtest/gtest.h>

using korvat::test::TestDatabase;

namespace {

QString openError(korvat::pg::Query &q)
{
    try {
        q.open();
    } catch (const korvat::pg::Error &e) {
        return e.message();
    }
    return {};
}

} // namespace

TEST(ConnectionModule, CreatedClosedAndEmpty)
{
    TdmCon dmCon{TdmCon::Settings{}};
    EXPECT_FALSE(dmCon.conZub.isConnected());
    EXPECT_FALSE(dmCon.conZubMob.isConnected());
    EXPECT_EQ(dmCon.conZub.sslMode(), korvat::pg::SslMode::Require);
    EXPECT_TRUE(dmCon.conZub.disconnectedMode());
    EXPECT_FALSE(dmCon.conZubMob.disconnectedMode());
    EXPECT_EQ(dmCon.conZubMob.database(), "zub_mob");
    for (const QString *s : {&dmCon.glNumeFirma, &dmCon.glUser, &dmCon.glUserPass, &dmCon.glDataBase,
                             &dmCon.glUserRol, &dmCon.glEuPL, &dmCon.glJasIP, &dmCon.glJasProtocol})
        EXPECT_TRUE(s->isEmpty());
    EXPECT_EQ(dmCon.dsEmitent.fieldCount(), 65);
    EXPECT_EQ(dmCon.dsEu.fieldCount(), 117);
    EXPECT_EQ(dmCon.dsEmitenteu_punct_lucru.def().name, "dsEmitenteu_punct_lucru");
    EXPECT_EQ(dmCon.GridTableViewStyleSheetDevExpress.caption, "DevExpress");
    EXPECT_EQ(dmCon.GridTableViewStyleSheetDevExpress[korvat::grid::GridStyleSlot::IncSearch]->name, "cxStyle11");
}

TEST(ConnectionModule, TheLoginQueriesOpenOnTheCompanySchema)
{
    TestDatabase db(TestDatabase::Kind::Erp);
    TdmCon dmCon{TdmCon::Settings{}};
    db.configure(dmCon.conZub);
    db.exec("insert into eu (eu, jas_ip) values ('Firma', 'srv:8080')");
    db.exec("insert into aplicatie_mob values ('KORVAT', true, null), ('Altceva', false, null)");
    db.exec("insert into emitent (emitent, operator_parola, eu_punct_lucru) values ('Ana', 'p', 'Sediu')");

    db.exec("alter table eu add column extra integer");
    EXPECT_EQ(openError(dmCon.dsEu), "");
    EXPECT_EQ(dmCon.dsEujas_ip.asString(), "srv:8080");
    EXPECT_FALSE(dmCon.conZub.isConnected());
    dmCon.dsEu.close();
    db.exec("alter table eu drop column jas_ip");
    EXPECT_EQ(openError(dmCon.dsEu), "dsEu: Field 'jas_ip' not found");

    struct Case {
        const char *application;
        int rows;
    };
    for (const Case &c : {Case{"Korvat", 1}, Case{"korvat", 1}, Case{"KORVAT", 1}, Case{"Altceva", 0}}) {
        dmCon.dsAplicatieMob.close();
        dmCon.dsAplicatieMob.setParam(QStringLiteral("pAplicatieMob"), QString::fromUtf8(c.application));
        dmCon.dsAplicatieMob.open();
        EXPECT_EQ(dmCon.dsAplicatieMob.recordCount(), c.rows) << c.application;
    }

    struct UserCase {
        const char *user, *password;
        int rows;
    };
    for (const UserCase &c : {UserCase{"Ana", "p", 1}, UserCase{"ana", "p", 0}, UserCase{"Ana", "P", 0}}) {
        dmCon.dsEmitent.close();
        dmCon.dsEmitent.setParam(QStringLiteral("pEmitent"), QString::fromUtf8(c.user));
        dmCon.dsEmitent.setParam(QStringLiteral("pP"), QString::fromUtf8(c.password));
        dmCon.dsEmitent.open();
        EXPECT_EQ(dmCon.dsEmitent.recordCount(), c.rows) << c.user << c.password;
    }
    EXPECT_EQ(dmCon.dsEmitenteu_punct_lucru.asString(), "");
}
