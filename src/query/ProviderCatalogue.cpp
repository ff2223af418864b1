#include "query/ProviderCatalogue.h"

#include "query/ServiceHosts.h"

namespace ProviderCatalogue {
namespace {

using H = HostRole;
using C = CleanUp;
constexpr bool Gbk = false;
constexpr bool Utf8 = true;
constexpr const char* UtfSuffix = "&ue=utf8&keyfrom=web.index";

} // namespace

const std::array<const char*, 9>& providerKeys()
{
    static const std::array<const char*, 9> keys = {"baidu", "alexa", "chinarank", "google", "yahoo",
                                                     "sogou", "soso", "bing", "youdao"};
    return keys;
}

const QList<FetchSpec>& fetches()
{
    static const QList<FetchSpec> table = {
        {"baidu", 1, H::Baidu, "/s?wd=site%3A", "", H::Baidu, Gbk, "正在执行【baidu收录】查询..."},
        {"baidu", 2, H::Baidu, "/s?cl=3&wd=domain:", "", H::Baidu, Gbk, "正在执行【百度反向链接】查询..."},
        {"alexa", 1, H::Alexa, "/siteinfo/", "", H::AlexaReferer, Gbk, "正在执行【Alexa世界排名】查询..."},
        {"chinarank", 1, H::ChinaRank, "/overview/Info.do?url=", "", H::ChinaRank, Gbk,
         "正在执行【chinarank中国网站排名】查询..."},
        {"google", 1, H::PageRank, "/getpr.asp?queryurl=", "", H::PageRank, Gbk, "正在执行【Google PR】查询..."},
        {"google", 2, H::Google, "/search?hl=zh-CN&source=hp&q=site:", "", H::Google, Gbk, "正在执行【Google收录】查询..."},
        {"google", 3, H::Google, "/search?hl=zh-CN&source=hp&q=link:", "", H::Google, Gbk,
         "正在执行【google反向链接】查询..."},
        {"yahoo", 1, H::Yahoo, "/search?p=", "", H::Yahoo, Utf8, "正在执行【yahoo收录】查询..."},
        {"yahoo", 2, H::Yahoo, "/search?p=", "&bwm=i", H::Yahoo, Utf8, "正在执行【yahoo反向链接】查询..."},
        {"sogou", 1, H::Sogou, "/web?query=site:", "", H::Sogou, Gbk, "正在执行【Sogou收录】查询..."},
        {"sogou", 2, H::Sogou, "/web?query=link%3A", "", H::Sogou, Gbk, "正在执行【sogou反向链接】查询..."},
        {"soso", 1, H::Soso, "/q?pid=s.idx&w=site:", "", H::Soso, Gbk, "正在执行【soso收录】查询..."},
        {"soso", 2, H::Soso, "/q?pid=s.idx&w=link:", "", H::Soso, Gbk, "正在执行【soso反向链接】查询..."},
        {"bing", 1, H::Bing, "/search?form=QBLH&filt=all&q=site:", "", H::BingReferer, Utf8, "正在执行【bing收录】查询..."},
        {"bing", 2, H::Bing, "/search?form=QBLH&filt=all&q=link:", "", H::BingReferer, Utf8,
         "正在执行【bing反向链接】查询..."},
        {"youdao", 1, H::Youdao, "/search?q=site%3A", UtfSuffix, H::Youdao, Utf8, "正在执行【youdao收录】查询..."},
        {"youdao", 2, H::Youdao, "/search?q=link%3A", UtfSuffix, H::Youdao, Utf8, "正在执行【youdao反向链接】查询..."},
    };
    return table;
}

const QList<ValueSpec>& values()
{
    static const QList<ValueSpec> table = {
        {"baidu", "baidurecord", 1, nullptr, "找到相关网页(.*?)篇", C::Approximate, 7, "-1", false},
        {"baidu", "baidubacklinks", 2, nullptr, "找到相关网页(.*?)篇", C::Unchecked, 8, "-1", false},
        {"alexa", "alexaworld", 1, nullptr, "style=\"margin-bottom:-2px;\"/>(.*?)</a>", C::Unchecked, 2, "-1", false},
        {"alexa", "alexachina", 1, "正在执行【Alexa中国排名】查询...", "alt=\"China Flag\"/>(.*?)</div>", C::Unchecked, 3,
         "-1", false},
        {"chinarank", "chinarank", 1, nullptr, "class=\"rank_font_y2\">(.*?)</span>", C::Comma, 4, "-1", false},
        {"google", "googlepr", 1, nullptr, "PageRank\\((.*?)/", C::Comma, 5, "-1", false},
        {"google", "googlerecord", 2, nullptr, "获得(.*?)条结果", C::Unchecked, 9, "-1", false},
        {"google", "googlebacklinks", 3, nullptr, "获得(.*?)条结果", C::Unchecked, 10, "-1", false},
        {"yahoo", "yahoorecord", 1, nullptr, "共 <strong>(.*?)</strong>", C::Approximate, 11, "-1", false},
        {"yahoo", "yahoobacklinks", 2, nullptr, "链向该地址的网页： 共 <strong>(.*?)</strong>", C::Approximate, 12, "0",
         false},
        {"sogou", "sogourecord", 1, nullptr, "找到(.*?)<", C::Comma, 17, "-1", false},
        {"sogou", "sogoubacklinks", 2, nullptr, "找到(.*?)<", C::Comma, 18, "-1", false},
        {"sogou", "sogoupr", 2, "正在执行【搜狗PR】查询...", "搜狗评级:(.*?)/", C::Comma, 6, "-1", true},
        {"soso", "sosorecord", 1, nullptr, "搜索到(.*?)项结果", C::Approximate, 13, "-1", false},
        {"soso", "sosobacklinks", 2, nullptr, "搜索到(.*?)项结果", C::Approximate, 14, "-1", false},
        {"bing", "bingrecord", 1, nullptr, "共(.*?)条结果", C::Approximate, 15, "-1", false},
        {"bing", "bingbacklinks", 2, nullptr, "共(.*?)条结果", C::Approximate, 16, "-1", false},
        {"youdao", "youdaorecord", 1, nullptr, "共(.*?)条结果", C::TenThousand, 19, "-1", false},
        {"youdao", "youdaobacklinks", 2, nullptr, "共(.*?)条结果", C::TenThousand, 20, "-1", false},
    };
    return table;
}

QList<FetchSpec> fetchesOf(const QString& key)
{
    QList<FetchSpec> result;
    for (const FetchSpec& fetch : fetches()) {
        if (key == QLatin1String(fetch.key))
            result << fetch;
    }
    return result;
}

QList<ValueSpec> valuesOf(const QString& key, int fetch)
{
    QList<ValueSpec> result;
    for (const ValueSpec& value : values()) {
        if (key == QLatin1String(value.key) && (fetch == AllFetches || value.fetch == fetch))
            result << value;
    }
    return result;
}

HttpRequest buildRequest(const FetchSpec& fetch, const QByteArray& domain, const ServiceHosts& hosts)
{
    HttpRequest request;
    request.url = "http://" + hosts.host(fetch.host) + fetch.path + domain + fetch.suffix;
    request.referer = hosts.host(fetch.referer);
    request.userAgent = "MMM";
    return request;
}

} // namespace ProviderCatalogue
