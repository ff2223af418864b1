// Prints "<name> <value> <goal>" lines; lower is better.
#include "catalogue/SiteDatabase.h"
#include "query/Gbk.h"
#include "query/HttpFetcher.h"
#include "query/ProviderCatalogue.h"
#include "query/QueryRunner.h"
#include "query/ValueReader.h"
#include "support/FakeProviders.h"
#include "support/TempProgramFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int AnswerDelayMs = 50;
constexpr int Runs = 7;

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void benchQuery()
{
    TempProgramFolder folder;
    SiteDatabase database;
    database.open(folder.folder().databaseFile());
    FakeProviders server;
    server.serveSite("example.com");
    server.setDelayForAll(AnswerDelayMs);
    QueryRunner runner(database);
    ServiceHosts hosts;
    hosts.setAll(server.hostAndPort());
    runner.setHosts(hosts);

    QList<double> wall;
    for (int run = 0; run < Runs; ++run) {
        QSignalSpy finished(&runner, &QueryRunner::finished);
        QElapsedTimer timer;
        timer.start();
        runner.launch(1, QStringLiteral("www.example.com"));
        if (!QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30000))
            std::fprintf(stderr, "query did not finish\n");
        wall << double(timer.nsecsElapsed()) / 1e6;
    }
    // Google's three fetches one after another are the longest chain.
    const double criticalPath = 3.0 * AnswerDelayMs;
    std::printf("query_wall_over_critical_path %.3f 1.15\n", median(wall) / criticalPath);
    std::printf("query_wall_over_serial_client %.3f 1.0\n", median(wall) / (17.0 * AnswerDelayMs));
}

void benchValueReading()
{
    // A 2 MB page per value, the expression's text near its end, as on a long result page.
    QList<QByteArray> pages;
    for (const ValueSpec& value : ProviderCatalogue::values()) {
        QByteArray page;
        page.reserve(2 * 1024 * 1024);
        const QByteArray filler = Gbk::encode(QStringLiteral(
            "<li class=\"res\"><h3><a href=\"http://example.com/page\">示例网页标题 - 网站首页</a></h3>"
            "<p>这是搜索结果的摘要文字，包含关键词和网址信息。</p></li>\n"));
        while (page.size() < 2 * 1024 * 1024 - 200)
            page += filler;
        QByteArray expression = Gbk::encode(QString::fromUtf8(value.expression));
        expression.replace("\\(", "(");
        page += expression.replace("(.*?)", "1,234");
        pages << page;
    }
    QList<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        int index = 0;
        for (const ValueSpec& value : ProviderCatalogue::values()) {
            const QByteArray text = ValueReader::readValue(value, pages.at(index++));
            if (text == "0")
                std::fprintf(stderr, "%s not found\n", value.field);
        }
        times << double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("read_19_values_2mb_pages_ms %.3f 20\n", median(times));
}

} // namespace

int main(int argc, char* argv[])
{
    HttpFetcher::globalInit();
    QCoreApplication app(argc, argv);
    benchValueReading();
    benchQuery();
    return 0;
}
