#include "stats.h"

#include <algorithm>

namespace bench {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

PairedMedians measurePair(int runs, const Measured& reference, const Measured& candidate)
{
    // The first round fills caches and loads libraries; it is not counted.
    reference();
    candidate();
    std::vector<double> references;
    std::vector<double> candidates;
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            references.push_back(reference());
            candidates.push_back(candidate());
        } else {
            candidates.push_back(candidate());
            references.push_back(reference());
        }
    }
    return {median(references), median(candidates)};
}

} // namespace bench
