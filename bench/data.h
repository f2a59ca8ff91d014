// The benchmark's data, made on the server with generate_series: articles, supplier invoices with
// excise lines, and a declaration function of a given number of rows.
#pragma once

#include <QString>

struct pg_conn;

namespace bench {

struct Sizes {
    int articles = 200000;
    int invoices = 5000;        // supplier invoices with excise lines, for the row moves
    int partners = 500;
    int declarationRows = 100000;
    int posts = 2000;
    int moves = 500;
    static Sizes quick();
};

// The authorisation the declaration is made for.
extern const char *const authorisation;

void makeData(pg_conn *conn, const Sizes &sizes);

} // namespace bench
