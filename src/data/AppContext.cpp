#include "data/AppContext.h"

namespace lumvard {

namespace {
AppContextRecord &record() {
    static AppContextRecord r;
    return r;
}
} // namespace

bool AppContextRecord::isServerDb() const {
    return DbType == QLatin1String("SQL2000") || DbType == QLatin1String("SQL7");
}

bool AppContextRecord::isLocalDb() const {
    return DbType == QLatin1String("Access");
}

AppContextRecord &AppContext() {
    return record();
}

void resetAppContext() {
    record() = AppContextRecord();
}

} // namespace lumvard
