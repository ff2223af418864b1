#pragma once

#include "catalogue/DetailsRecord.h"

#include <QByteArray>
#include <QString>

#include <array>

// One provider step of a query. The fields travel apart, so an address holding "," is
// queried like any other.
struct QueryTask
{
    int siteId = 0;
    QString siteAddress; // pr_url as stored, not trimmed
    QString providerKey;
};

// The 19 values of one query, indexed like MetricFields. Each entry is written only by the
// worker of its provider and read once all nine have reported their completion.
struct ResultSlots
{
    std::array<QByteArray, MetricCount> values;
};
