#include "platform/pg/query.h"

#include <gtest/gtest.h>

using korvat::pg::scanParameters;

TEST(ParameterScanner, RewritesNamesAndLeavesEverythingElseAlone)
{
    struct Case {
        const char *sql;
        const char *text;
        QStringList names;
    };
    const Case cases[] = {
        {"select * from t where a = :pA and b = :pB", "select * from t where a = $1 and b = $2", {"pA", "pB"}},
        {"select :x::date, a::text from t", "select $1::date, a::text from t", {"x"}},
        {"select ':no' , 'it''s :no', :yes", "select ':no' , 'it''s :no', $1", {"yes"}},
        {"select E'\\' :no', :yes", "select E'\\' :no', $1", {"yes"}},
        {"select \":no\", \"a\"\":no\", :yes", "select \":no\", \"a\"\":no\", $1", {"yes"}},
        {"select 1 -- :no\n, :yes", "select 1 -- :no\n, $1", {"yes"}},
        {"select /* :no /* nested :no */ :no */ :yes", "select /* :no /* nested :no */ :no */ $1", {"yes"}},
        {"select $$ :no $$, $f$ :no $$ :no $f$, :yes", "select $$ :no $$, $f$ :no $$ :no $f$, $1", {"yes"}},
        {"select :pEmitent, :PEMITENT, :pemitent, :pP", "select $1, $1, $1, $2", {"pEmitent", "pP"}},
        {"select a[1:2], x$1 from t where c = :p_1", "select a[1:2], x$1 from t where c = $1", {"p_1"}},
        {"select 'unterminated :no", "select 'unterminated :no", {}},
        {"select ț from t where ș = :pȘ", "select ț from t where ș = $1", {"pȘ"}},
    };
    for (const Case &c : cases) {
        const auto scanned = scanParameters(QString::fromUtf8(c.sql));
        EXPECT_EQ(scanned.text.toStdString(), std::string(c.text)) << c.sql;
        EXPECT_EQ(scanned.names, c.names) << c.sql;
    }
}
