#pragma once

#include <QStringList>

// korvani-cli: the catalogue and the query without the window, for scripts and cron.
namespace CommandLine {

// Runs one command; returns the process exit code.
int run(const QStringList& arguments);

} // namespace CommandLine
