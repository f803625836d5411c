#include "table.h"

#include <cstdio>

namespace bench {

namespace {

QString number(double value, const QString& unit)
{
    // Per-event times are fractions of a millisecond and need the extra places.
    const int places = unit == QLatin1String("MiB") ? 0 : value < 10 ? 3 : 1;
    return QStringLiteral("%1 %2").arg(value, 0, 'f', places).arg(unit);
}

} // namespace

Row ratioRow(const QString& figure, double reference, double candidate, double factor)
{
    Row row{figure, QStringLiteral("ms"), reference, candidate,
            QStringLiteral("≤ %1x").arg(factor, 0, 'f', 2)};
    row.met = reference > 0 && candidate >= 0 && candidate <= factor * reference;
    return row;
}

int printTable(const std::vector<Row>& rows)
{
    int missed = 0;
    std::printf("| figure | reference | Snipwell | ratio | goal | result |\n");
    std::printf("|---|---:|---:|---:|---|---|\n");
    for (const Row& row : rows) {
        const QString reference = row.reference ? number(*row.reference, row.unit) : QString();
        const QString candidate =
            row.candidate ? number(*row.candidate, row.unit) : QStringLiteral("failed");
        const QString ratio =
            row.reference && row.candidate && *row.reference > 0
                ? QStringLiteral("%1x").arg(*row.candidate / *row.reference, 0, 'f', 2)
                : QString();
        const bool met = row.met && row.candidate.has_value();
        const QString result = row.goal.isEmpty() ? QStringLiteral("(context)")
                               : met              ? QStringLiteral("pass")
                                                  : QStringLiteral("MISS");
        if (!row.goal.isEmpty() && !met)
            ++missed;
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qUtf8Printable(row.figure),
                    qUtf8Printable(reference), qUtf8Printable(candidate), qUtf8Printable(ratio),
                    qUtf8Printable(row.goal), qUtf8Printable(result));
    }
    std::fflush(stdout);
    return missed;
}

} // namespace bench
