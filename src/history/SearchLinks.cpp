#include "history/SearchLinks.h"

#include "query/ServiceHosts.h"
#include "query/ValueReader.h"

#include <array>

namespace SearchLinks {
namespace {

struct Link
{
    int column;
    HostRole host;
    const char* path;
    const char* suffix;
};

constexpr const char* YoudaoSuffix = "&ue=utf8&keyfrom=web.index";

constexpr std::array<Link, 19> Links = {{
    {2, HostRole::Alexa, "/siteinfo/", ""},
    {3, HostRole::Alexa, "/siteinfo/", ""},
    {4, HostRole::ChinaRank, "/overview/Info.do?url=", ""},
    {5, HostRole::PageRankLink, "/google_pagerank/?q=", ""},
    {6, HostRole::Sogou, "/web?query=link%3A", ""},
    {7, HostRole::Baidu, "/s?wd=site%3A", ""},
    {8, HostRole::Baidu, "/s?cl=3&wd=domain:", ""},
    {9, HostRole::Google, "/search?hl=zh-CN&source=hp&q=site:", ""},
    {10, HostRole::Google, "/search?hl=zh-CN&source=hp&q=link:", ""},
    {11, HostRole::Yahoo, "/search?p=", ""},
    {12, HostRole::Yahoo, "/search?p=", "&bwm=i"},
    {13, HostRole::Soso, "/q?pid=s.idx&w=site:", ""},
    {14, HostRole::Soso, "/q?pid=s.idx&w=link:", ""},
    {15, HostRole::Bing, "/search?form=QBLH&filt=all&q=site:", ""},
    {16, HostRole::Bing, "/search?form=QBLH&filt=all&q=link:", ""},
    {17, HostRole::Sogou, "/web?query=site:", ""},
    {18, HostRole::Sogou, "/web?query=link%3A", ""},
    {19, HostRole::Youdao, "/search?q=site%3A", YoudaoSuffix},
    {20, HostRole::Youdao, "/search?q=link%3A", YoudaoSuffix},
}};

} // namespace

std::optional<QByteArray> url(int column, const QByteArray& siteAddress, const ServiceHosts& hosts)
{
    for (const Link& link : Links) {
        if (link.column == column)
            return "http://" + hosts.host(link.host) + link.path + ValueReader::siteDomain(siteAddress) + link.suffix;
    }
    return std::nullopt;
}

} // namespace SearchLinks
