// A second copy of the program's database work, for tests of two processes on one data.db.
//   dbhelper lock DB SECONDS   holds the write lock that long ("locked" once it has it)
//   dbhelper write DB          stores rows until it is killed, printing each autoid
#include "catalogue/SiteDatabase.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    SiteDatabase database(QStringLiteral("helper"));
    database.open(args.at(2));
    if (args.at(1) == QLatin1String("lock") && args.size() == 4) {
        database.transaction(true, [&] {
            std::puts("locked");
            std::fflush(stdout);
            QThread::msleep(args.at(3).toULong() * 1000);
        });
        return 0;
    }
    if (args.at(1) == QLatin1String("write")) {
        DetailsRecord record;
        record.prId = 7;
        for (int i = 0;; ++i) {
            record.addtime = QDateTime::currentDateTime();
            record.values.fill(i);
            std::printf("%d\n", database.storeDetails(record));
            std::fflush(stdout);
        }
    }
    return 2;
}
