#pragma once

// Timing and the side-by-side measurement: the reference and the candidate run
// in turns, so a slow spell of a shared machine hits both alike.

#include <chrono>
#include <functional>
#include <vector>

namespace bench {

class Stopwatch
{
  public:
    Stopwatch() : m_start(std::chrono::steady_clock::now()) {}
    double milliseconds() const
    {
        const auto elapsed = std::chrono::steady_clock::now() - m_start;
        return std::chrono::duration<double, std::milli>(elapsed).count();
    }

  private:
    std::chrono::steady_clock::time_point m_start;
};

double median(std::vector<double> values);

struct PairedMedians
{
    double reference = 0;
    double candidate = 0;
    double ratio() const { return reference > 0 ? candidate / reference : 0; }
};

// Each function runs one measured operation and returns its time in
// milliseconds, leaving out its own set-up. After one unmeasured round of each,
// runs rounds alternate which side goes first.
using Measured = std::function<double()>;
PairedMedians measurePair(int runs, const Measured& reference, const Measured& candidate);

} // namespace bench
