#pragma once

#include <QColor>

// The 23 columns of the history grid: 0 numbers the rows, 1 the query time, 2 to 20 the
// nineteen values (in MetricFields order), 21 the row's autoid and 22 the site address, both hidden.
namespace HistoryColumns {

inline constexpr int Count = 23;
inline constexpr int Increment = 0;
inline constexpr int Time = 1;
inline constexpr int FirstMetric = 2;
inline constexpr int LastMetric = 20;
inline constexpr int AutoId = 21;
inline constexpr int Address = 22;
inline constexpr int EditableColumn = 7;

enum class Provider { None, Alexa, ChinaRank, Google, Sogou, Baidu, Yahoo, Soso, Bing, Youdao };

struct Column
{
    const char* name; // the column's component name
    const char* caption;
    int width;
    QColor colour; // invalid: window text
    bool bold;
    Provider provider;
};

const Column& column(int index);
inline bool isMetric(int column) { return column >= FirstMetric && column <= LastMetric; }

// A running query's row.
inline const QColor RunningColour(0x9B, 0xED, 0x87);

} // namespace HistoryColumns
