#include "history/HistoryColumns.h"

#include <array>

namespace HistoryColumns {

const Column& column(int index)
{
    using P = Provider;
    const QColor navy(0x00, 0x00, 0x80), blue(0x00, 0x00, 0xFF), green(0x00, 0x80, 0x00), maroon(0x80, 0x00, 0x00),
        purple(0x80, 0x00, 0x80);
    static const std::array<Column, Count> columns = {{
        {"nxncrmntclmn1", "序号", 39, QColor(), false, P::None},
        {"nxdtclmnnxtxtclmn1", "查询时间", 110, QColor(), false, P::None},
        {"NxNumberColumn1", "Alexa世界", 80, navy, true, P::Alexa},
        {"NxNumberColumn2", "Alexa中国", 80, navy, true, P::Alexa},
        {"NxNumberColumn5", "ChinaRank", 80, QColor(0x00, 0x80, 0xFF), true, P::ChinaRank},
        {"NxNumberColumn3", "谷歌PR", 80, green, true, P::Google},
        {"NxNumberColumn4", "搜狗PR", 80, maroon, true, P::Sogou},
        {"nxnmbrclmnnxhtmlclmnnxnmbrclmnnxtxtclmn2", "百度收录", 80, blue, true, P::Baidu},
        {"nxnmbrclmnnxprgrsclmn1", "反向链接", 80, blue, true, P::Baidu},
        {"nxnmbrclmn1", "谷歌收录", 80, green, true, P::Google},
        {"nxnmbrclmn2", "反向链接", 80, green, true, P::Google},
        {"NxNumberColumn6", "雅虎收录", 80, purple, true, P::Yahoo},
        {"NxNumberColumn7", "反向链接", 80, purple, true, P::Yahoo},
        {"NxNumberColumn8", "搜搜收录", 80, QColor(0x00, 0x40, 0x80), true, P::Soso},
        {"NxNumberColumn9", "反向链接", 80, QColor(0x00, 0x40, 0x80), true, P::Soso},
        {"NxNumberColumn10", "Bing收录", 80, QColor(0xFF, 0x80, 0x40), true, P::Bing},
        {"NxNumberColumn11", "反向收录", 80, QColor(0xFF, 0x80, 0x40), true, P::Bing},
        {"NxNumberColumn12", "搜狗收录", 80, maroon, true, P::Sogou},
        {"NxNumberColumn13", "反向收录", 80, maroon, true, P::Sogou},
        {"NxNumberColumn14", "有道收录", 80, QColor(0x80, 0x40, 0x00), true, P::Youdao},
        {"NxNumberColumn15", "反向链接", 80, QColor(0x80, 0x40, 0x00), true, P::Youdao},
        {"NxNumberColumn16", "", 0, QColor(), false, P::None},
        {"nxtxtclmn1", "", 0, QColor(), false, P::None},
    }};
    return columns.at(size_t(index));
}

} // namespace HistoryColumns
