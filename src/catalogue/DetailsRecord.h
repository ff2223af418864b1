#pragma once

#include <QDateTime>

#include <array>

// The nineteen metric fields of table details, in the order the history grid shows them
// (grid columns 2 to 20).
inline constexpr int MetricCount = 19;
inline constexpr std::array<const char*, MetricCount> MetricFields = {
    "alexaworld",  "alexachina",     "chinarank",   "googlepr",        "sogoupr",
    "baidurecord", "baidubacklinks", "googlerecord", "googlebacklinks", "yahoorecord",
    "yahoobacklinks", "sosorecord",  "sosobacklinks", "bingrecord",    "bingbacklinks",
    "sogourecord", "sogoubacklinks", "youdaorecord", "youdaobacklinks",
};

// Index of a metric field in MetricFields, or -1.
int metricIndex(const char* field);

// One row of table details.
struct DetailsRecord
{
    int autoid = 0;
    int prId = 0;
    QDateTime addtime;
    std::array<int, MetricCount> values{};
};
