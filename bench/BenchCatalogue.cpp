// History loading and tree filling against a plain select of the same rows.
// Prints "<name> <value> <goal>" lines; lower is better.
#include "catalogue/SiteDatabase.h"
#include "catalogue/SiteTreeModel.h"
#include "history/HistoryModel.h"
#include "support/TempProgramFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int HistoryRows = 100000;
constexpr int TreeRows = 10000;
constexpr int Runs = 9;

template <typename Work>
double medianMs(Work work)
{
    work(); // warm the caches first
    QList<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << double(timer.nsecsElapsed()) / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(Runs / 2);
}

void fill(SiteDatabase& db)
{
    QRandomGenerator random(42);
    db.transaction(false, [&] {
        QSqlQuery insert(db.connection());
        insert.prepare(QStringLiteral("INSERT INTO details (pr_id, addtime, alexaworld, baidurecord, youdaobacklinks)"
                                      " VALUES (2, :t, :a, :b, :c)"));
        const QDateTime start(QDate(2020, 1, 1), QTime(0, 0));
        for (int i = 0; i < HistoryRows; ++i) {
            insert.bindValue(QStringLiteral(":t"), start.addSecs(qint64(i) * 600).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
            insert.bindValue(QStringLiteral(":a"), int(random.bounded(1000000)));
            insert.bindValue(QStringLiteral(":b"), int(random.bounded(1000000)));
            insert.bindValue(QStringLiteral(":c"), int(random.bounded(1000)));
            db.exec(insert);
        }
        QSqlQuery site(db.connection());
        site.prepare(QStringLiteral("INSERT INTO master VALUES (:id, :name, :parent, :url)"));
        const QStringList words{QStringLiteral("新浪"), QStringLiteral("百度"), QStringLiteral("网易"), QStringLiteral("blog"),
                                QStringLiteral("shop"), QStringLiteral("论坛"), QStringLiteral("news")};
        for (int id = 2; id < TreeRows + 2; ++id) {
            site.bindValue(QStringLiteral(":id"), id);
            site.bindValue(QStringLiteral(":name"), QString(words.at(random.bounded(words.size())) + QString::number(random.bounded(100000))));
            site.bindValue(QStringLiteral(":parent"), id < 50 ? 1 : int(random.bounded(2, id)));
            site.bindValue(QStringLiteral(":url"), QStringLiteral("http://www.site%1.com/").arg(id));
            db.exec(site);
        }
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TempProgramFolder folder;
    SiteDatabase db;
    db.open(folder.folder().databaseFile());
    fill(db);

    const double plainHistory = medianMs([&] {
        QSqlQuery query(db.connection());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("select * from details where pr_id=:p1 order by addtime desc"));
        query.bindValue(QStringLiteral(":p1"), 2);
        query.exec();
        const int fields = query.record().count();
        qint64 sum = 0;
        while (query.next()) {
            for (int i = 0; i < fields; ++i)
                sum += query.value(i).toInt();
        }
        if (sum == 42)
            std::puts("");
    });
    HistoryModel history;
    const double loadHistory = medianMs([&] { history.load(db.history(2), QStringLiteral("http://www.site2.com/")); });
    std::printf("history_load_100k_over_plain_select %.3f 2\n", loadHistory / plainHistory);

    const double plainTree = medianMs([&] {
        QSqlQuery query(db.connection());
        query.setForwardOnly(true);
        query.exec(QStringLiteral("SELECT pr_id, pr_parent, pr_name, pr_url FROM master"));
        qsizetype size = 0;
        while (query.next())
            size += query.value(0).toInt() + query.value(1).toInt() + query.value(2).toString().size() + query.value(3).toString().size();
        if (size == 42)
            std::puts("");
    });
    SiteTreeModel tree(db);
    const double fillTree = medianMs([&] { tree.fill(); });
    std::printf("tree_fill_10k_over_plain_select %.3f 3\n", fillTree / plainTree);
    std::fprintf(stderr, "history: plain %.1f ms, load %.1f ms; tree: plain %.1f ms, fill %.1f ms\n", plainHistory,
                 loadHistory, plainTree, fillTree);
    return 0;
}
