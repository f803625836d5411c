#pragma once

// One line of the benchmark's result table, and the table itself.

#include <QString>
#include <optional>
#include <vector>

namespace bench {

struct Row
{
    QString figure;
    QString unit;                    // "ms" or "MiB"
    std::optional<double> reference; // absent for absolute figures
    std::optional<double> candidate; // absent when the measurement failed
    QString goal;                    // empty for figures shown for context only
    bool met = true;
};

// A ratio goal: candidate at most factor times the reference.
Row ratioRow(const QString& figure, double reference, double candidate, double factor);

// Prints the rows as a Markdown table on standard output; returns the number of missed goals.
int printTable(const std::vector<Row>& rows);

} // namespace bench
