// Runs a function call text with declared parameters and keeps the rows of its last execution.
#pragma once

#include "platform/pg/query.h"

namespace korvat::pg {

class StoredFunction : public Query {
    Q_OBJECT
public:
    using Query::Query;
    // Each execution replaces the previous one.
    void execute();
};

} // namespace korvat::pg
