#include "query/Gbk.h"
#include "query/ProviderCatalogue.h"
#include "query/ServiceHosts.h"
#include "query/ValueReader.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(CleanUp)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {

QByteArray gbk(const char* utf8)
{
    return Gbk::encode(QString::fromUtf8(utf8));
}

} // namespace

class TestValueReader : public QObject
{
    Q_OBJECT

private slots:
    void siteDomain_data();
    void siteDomain();
    void readValue_data();
    void readValue();
    void convert_data();
    void convert();
    void catalogueIsComplete();
    void requestsOfEveryFetch();
};

void TestValueReader::siteDomain_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("domain");
    QTest::newRow("scheme, www and slash") << QByteArray("http://www.example.com/") << QByteArray("example.com");
    QTest::newRow("www only") << QByteArray("www.example.com") << QByteArray("example.com");
    QTest::newRow("bare host") << QByteArray("example.com") << QByteArray("example.com");
    QTest::newRow("path glued on") << QByteArray("http://example.com/bbs/") << QByteArray("example.combbs");
    QTest::newRow("upper case survives") << QByteArray("HTTP://WWW.example.com") << QByteArray("HTTP:WWW.example.com");
    QTest::newRow("https") << QByteArray("https://www.example.com") << QByteArray("https:example.com");
    QTest::newRow("www. inside a name") << QByteArray("http://newwww.example.com") << QByteArray("newexample.com");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    // 0xB0 0x68 is one GBK character whose second byte is "h": no "http://" starts inside it.
    QTest::newRow("character boundaries") << QByteArray("\xB0\x68ttp://x") << QByteArray("\xB0\x68ttp:x");
    // A lead byte before "/" is no character with it: the slash still goes (found by fuzzing).
    QTest::newRow("lead byte before slash") << QByteArray("a\xB2//b") << QByteArray("a\xB2" "b");
}

void TestValueReader::siteDomain()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, domain);
    QCOMPARE(ValueReader::siteDomain(address), domain);
}

void TestValueReader::readValue_data()
{
    QTest::addColumn<QByteArray>("expression");
    QTest::addColumn<CleanUp>("cleanUp");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("value");

    const QByteArray google = gbk("获得(.*?)条结果");
    const QByteArray baidu = gbk("找到相关网页(.*?)篇");
    const QByteArray youdao = gbk("共(.*?)条结果");
    QTest::newRow("no match") << google << CleanUp::Unchecked << gbk("没有结果") << QByteArray("0");
    QTest::newRow("blanks and approx") << google << CleanUp::Unchecked << gbk("获得 约 1,234 条结果") << QByteArray(" 1234");
    QTest::newRow("approximate") << baidu << CleanUp::Approximate << gbk("找到相关网页约2,150篇") << QByteArray("2150");
    QTest::newRow("comma keeps approx") << gbk("class=\"rank_font_y2\">(.*?)</span>") << CleanUp::Comma
                                        << gbk("class=\"rank_font_y2\">约5</span>") << gbk("约5");
    QTest::newRow("empty approximate") << baidu << CleanUp::Approximate << gbk("找到相关网页 篇") << QByteArray("0");
    QTest::newRow("empty unchecked") << baidu << CleanUp::Unchecked << gbk("找到相关网页篇") << QByteArray("");
    QTest::newRow("empty comma") << gbk("找到(.*?)<") << CleanUp::Comma << gbk("找到<") << QByteArray("0");
    QTest::newRow("ten thousand") << youdao << CleanUp::TenThousand << gbk("共约1,230万条结果") << QByteArray("1230");
    QTest::newRow("negative") << youdao << CleanUp::Approximate << gbk("共-5条结果") << QByteArray("-5");
    QTest::newRow("first match") << youdao << CleanUp::Approximate << gbk("共1条结果 共2条结果") << QByteArray("1");
    QTest::newRow("lazy") << gbk("找到(.*?)<") << CleanUp::Comma << gbk("找到1<b>2<") << QByteArray("1");
    QTest::newRow("dot matches line breaks") << google << CleanUp::Unchecked << gbk("获得\r\n12\n条结果") << QByteArray("12");
    QTest::newRow("stops at zero byte") << google << CleanUp::Unchecked << QByteArray("x\0", 2) + gbk("获得5条结果")
                                        << QByteArray("0");
    QTest::newRow("case sensitive") << QByteArray("PageRank\\((.*?)/") << CleanUp::Comma << QByteArray("pagerank(5/10")
                                    << QByteArray("0");
    QTest::newRow("escaped parenthesis") << QByteArray("PageRank\\((.*?)/") << CleanUp::Comma
                                         << QByteArray("PageRank(4/10)") << QByteArray("4");
    QTest::newRow("tag around digit") << gbk("搜狗评级:(.*?)/") << CleanUp::Comma << gbk("搜狗评级:<b>5</b>/100")
                                      << QByteArray("<b>5<");
    // "共" is B9 B2; "\xB0\xB9" is a character whose second byte is B9: no match starts there.
    QTest::newRow("no match across characters") << youdao << CleanUp::Approximate
                                                << QByteArray("\xB0\xB9\xB2") + gbk("7条结果 共8条结果") << QByteArray("8");
    QTest::newRow("other expression form") << QByteArray("n=([0-9]+)") << CleanUp::Comma << QByteArray("a n=42 b")
                                           << QByteArray("42");
}

void TestValueReader::readValue()
{
    QFETCH(QByteArray, expression);
    QFETCH(CleanUp, cleanUp);
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, value);
    QCOMPARE(ValueReader::readValue(expression, cleanUp, page), value);
}

void TestValueReader::convert_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::optional<int>>("number");
    const std::optional<int> fails;
    QTest::newRow("decimal") << QByteArray("1234") << std::optional<int>(1234);
    QTest::newRow("leading spaces") << QByteArray("  12") << std::optional<int>(12);
    QTest::newRow("plus") << QByteArray("+5") << std::optional<int>(5);
    QTest::newRow("minus") << QByteArray("-5") << std::optional<int>(-5);
    QTest::newRow("dollar hex") << QByteArray("$FF") << std::optional<int>(255);
    QTest::newRow("x hex") << QByteArray("x1a") << std::optional<int>(26);
    QTest::newRow("0x hex") << QByteArray("0X10") << std::optional<int>(16);
    QTest::newRow("negative hex") << QByteArray("-$10") << std::optional<int>(-16);
    QTest::newRow("hex pattern") << QByteArray("$FFFFFFFF") << std::optional<int>(-1);
    QTest::newRow("largest") << QByteArray("2147483647") << std::optional<int>(2147483647);
    QTest::newRow("smallest") << QByteArray("-2147483648") << std::optional<int>(-2147483647 - 1);
    QTest::newRow("too large") << QByteArray("2147483648") << fails;
    QTest::newRow("too small") << QByteArray("-2147483649") << fails;
    QTest::newRow("nine hex digits") << QByteArray("$123456789") << fails;
    QTest::newRow("empty") << QByteArray() << fails;
    QTest::newRow("spaces only") << QByteArray("   ") << fails;
    QTest::newRow("sign alone") << QByteArray("-") << fails;
    QTest::newRow("hex prefix alone") << QByteArray("0x") << fails;
    QTest::newRow("trailing letter") << QByteArray("12a") << fails;
    QTest::newRow("trailing space") << QByteArray("12 ") << fails;
    QTest::newRow("approx sign") << gbk("约5") << fails;
}

void TestValueReader::convert()
{
    QFETCH(QByteArray, text);
    QFETCH(std::optional<int>, number);
    QCOMPARE(ValueReader::convert(text), number);
}

void TestValueReader::catalogueIsComplete()
{
    QCOMPARE(ProviderCatalogue::fetches().size(), 17);
    QCOMPARE(ProviderCatalogue::values().size(), 19);
    QSet<int> columns;
    QSet<QByteArray> fields;
    for (const ValueSpec& value : ProviderCatalogue::values()) {
        columns << value.column;
        fields << value.field;
        QVERIFY(!ProviderCatalogue::valuesOf(QLatin1String(value.key), value.fetch).isEmpty());
        // Every expression has the form the fast reader handles.
        QVERIFY(QByteArray(value.expression).contains("(.*?)"));
    }
    QCOMPARE(columns.size(), 19);
    QCOMPARE(*std::min_element(columns.begin(), columns.end()), 2);
    QCOMPARE(*std::max_element(columns.begin(), columns.end()), 20);
    QCOMPARE(fields.size(), 19);
}

void TestValueReader::requestsOfEveryFetch()
{
    ServiceHosts hosts;
    hosts.setHost(HostRole::Alexa, "alexa.test");
    hosts.setHost(HostRole::AlexaReferer, "www.alexa.test");
    const QList<FetchSpec> alexa = ProviderCatalogue::fetchesOf(QStringLiteral("alexa"));
    QCOMPARE(alexa.size(), 1);
    const HttpRequest request = ProviderCatalogue::buildRequest(alexa.first(), "example.com", hosts);
    QCOMPARE(request.url, QByteArray("http://alexa.test/siteinfo/example.com"));
    QCOMPARE(request.referer, QByteArray("www.alexa.test"));
    QCOMPARE(request.userAgent, QByteArray("MMM"));
    const FetchSpec youdao = ProviderCatalogue::fetchesOf(QStringLiteral("youdao")).at(1);
    QCOMPARE(ProviderCatalogue::buildRequest(youdao, "h.cn", hosts).url,
             QByteArray("http://www.youdao.com/search?q=link%3Ah.cn&ue=utf8&keyfrom=web.index"));
}

QTEST_GUILESS_MAIN(TestValueReader)
#include "TestValueReader.moc"
