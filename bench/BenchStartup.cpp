// Start-up to the shown window with a large catalogue (10,000 sites, 100,000 history rows).
// Prints "<name> <value> <goal>"; lower is better.
#include "app/MainWindow.h"
#include "catalogue/SiteDatabase.h"
#include "support/TempProgramFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TempProgramFolder folder;
    {
        SiteDatabase db(QStringLiteral("fill"));
        db.open(folder.folder().databaseFile());
        db.transaction(false, [&] {
            QSqlQuery site(db.connection());
            site.prepare(QStringLiteral("INSERT INTO master VALUES (:id, :name, :parent, :url)"));
            for (int id = 2; id < 10002; ++id) {
                site.bindValue(QStringLiteral(":id"), id);
                site.bindValue(QStringLiteral(":name"), QStringLiteral("站点%1").arg(id));
                site.bindValue(QStringLiteral(":parent"), id < 100 ? 1 : id / 100);
                site.bindValue(QStringLiteral(":url"), QStringLiteral("www.site%1.com").arg(id));
                db.exec(site);
            }
            QSqlQuery row(db.connection());
            row.prepare(QStringLiteral("INSERT INTO details (pr_id, addtime, alexaworld) VALUES (:id, :t, 1)"));
            for (int i = 0; i < 100000; ++i) {
                row.bindValue(QStringLiteral(":id"), 2 + i % 10000);
                row.bindValue(QStringLiteral(":t"), QStringLiteral("2026-01-01T00:00:00.000"));
                db.exec(row);
            }
        });
    }
    QList<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        MainWindow window(folder.folder());
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fputs("window not shown\n", stderr);
        times << double(timer.nsecsElapsed()) / 1e6;
    }
    // The first window also starts the web engine; later ones find it running.
    std::printf("startup_first_window_ms %.1f 2000\n", times.first());
    std::sort(times.begin(), times.end());
    std::printf("startup_to_window_ms %.1f 2000\n", times.at(2));
    return 0;
}
