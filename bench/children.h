#pragma once

// Scenarios that run in a fresh process of the benchmark program, so that one
// scenario's peak memory or start-up is not mixed with another's. The parent
// starts `snipwell_bench --child <scenario> <folder> [start time]` and reads
// the one line the child prints.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace bench {

// Runs a scenario in this process; returns the exit code. argv holds what
// followed "--child". The start-up scenario must run before a QApplication exists.
int runChild(int argc, char** argv);

// Starts this program again with "--child" and arguments, waits for it and
// returns what it printed, or nothing when it failed.
std::optional<QString> spawnChild(const QStringList& arguments);

// Nanoseconds of the monotonic clock, comparable between processes.
std::int64_t monotonicNanoseconds();

} // namespace bench
