#include "platform/pg/storedfunction.h"

namespace korvat::pg {

void StoredFunction::execute()
{
    close();
    open();
}

} // namespace korvat::pg
