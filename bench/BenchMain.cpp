// Runs the benchmarks, then prints a summary: each measure's throughput, its
// ratio to the baselines measured in the same run (so the ratios hold on a busy
// machine even when the absolute figures move), and whether it meets its target.
// The command-line options are Google Benchmark's (--benchmark_filter=Reader,
// --benchmark_repetitions=5, ...).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "BenchData.h"

namespace fichelia::bench {

namespace {

constexpr double kMegabyte = 1e6;

// Seconds per iteration of one benchmark.
struct Times {
    double cpu;  // the benchmark thread's CPU time, user and system
    double wall; // wall-clock time
};

// The console table as usual, with every run's times kept for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    bool ReportContext(const Context& context) override {
        m_cpus = context.cpu_info.num_cpus;
        m_cpuHz = context.cpu_info.cycles_per_second;
        m_loadAtStart = context.cpu_info.load_avg;
        return ConsoleReporter::ReportContext(context);
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                const auto iterations = static_cast<double>(run.iterations);
                m_times[run.run_name.function_name].push_back(
                    {run.cpu_accumulated_time / iterations, run.real_accumulated_time / iterations});
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The benchmark's times, the median run by CPU time when it was repeated,
    // or nothing when it did not run.
    std::optional<Times> times(const std::string& name) const {
        const auto found = m_times.find(name);
        if (found == m_times.end()) {
            return std::nullopt;
        }
        std::vector<Times> runs = found->second;
        std::sort(runs.begin(), runs.end(), [](const Times& a, const Times& b) { return a.cpu < b.cpu; });
        return runs[runs.size() / 2];
    }

    bool anyResult() const { return !m_times.empty(); }
    int cpus() const { return m_cpus; }
    double cpuHz() const { return m_cpuHz; }
    const std::vector<double>& loadAtStart() const { return m_loadAtStart; }

private:
    std::map<std::string, std::vector<Times>> m_times;
    int m_cpus = 0;
    double m_cpuHz = 0;
    std::vector<double> m_loadAtStart;
};

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

void printLoad(const std::vector<double>& load) {
    for (double value : load) {
        std::printf(" %.2f", value);
    }
}

double megabytesPerSecond(std::size_t bytes, double seconds) {
    return static_cast<double>(bytes) / seconds / kMegabyte;
}

void printTimes(const char* label, const Times& times) {
    std::printf("  %-36s %9.2f ms  [wall %9.2f ms]", label, times.cpu * 1e3, times.wall * 1e3);
}

void printThroughput(const char* label, const Times& times, std::size_t bytes, std::size_t contacts) {
    printTimes(label, times);
    std::printf("  %8.1f MB/s", megabytesPerSecond(bytes, times.cpu));
    if (contacts > 0) {
        std::printf("  %10.0f contacts/s", static_cast<double>(contacts) / times.cpu);
    }
    std::printf("\n");
}

void printRatio(const char* measured, const char* baseline, const Times& measuredTimes, const Times& baselineTimes) {
    std::printf("    %s takes %.2fx the time of the %s baseline\n", measured, measuredTimes.cpu / baselineTimes.cpu,
                baseline);
}

void printSummary(const SummaryReporter& reporter) {
    if (!reporter.anyResult()) {
        return;
    }
    const BenchData& data = benchData();
    const std::size_t pageBytes = data.page.size();
    std::printf("\nSummary: %zu contacts, %.1f bytes of text each on average, a page of %.2f MB (MB = 10^6 bytes).\n",
                kContactCount, static_cast<double>(data.contactTextBytes) / static_cast<double>(kContactCount),
                static_cast<double>(pageBytes) / kMegabyte);
    std::printf("Times are the CPU time of the benchmark's thread (user and system), which other work on a busy\n"
                "machine disturbs less than wall-clock time; throughputs and ratios come from them, all from this "
                "run.\n");
    std::printf("Machine: %d CPUs at %.0f MHz; load average", reporter.cpus(), reporter.cpuHz() / 1e6);
    printLoad(reporter.loadAtStart());
    std::vector<double> loadAtEnd(3);
    if (::getloadavg(loadAtEnd.data(), 3) == 3) {
        std::printf(" at start,");
        printLoad(loadAtEnd);
        std::printf(" at end");
    }
    std::printf("\n");

    const auto writer = reporter.times("Writer_BuildDirectoryPage");
    const auto opened = reporter.times("Writer_BuildDirectoryPage_OpenedList");
    const auto copy = reporter.times("Writer_Baseline_Copy");
    if (writer || opened || copy) {
        std::printf("\nWriter\n");
    }
    if (writer) {
        printThroughput("BuildDirectoryPage", *writer, pageBytes, kContactCount);
    }
    if (opened) {
        printThroughput("BuildDirectoryPage, list as opened", *opened, pageBytes, kContactCount);
    }
    if (copy) {
        printThroughput("baseline: one copy of the page", *copy, pageBytes, 0);
    }
    if (writer && copy) {
        printRatio("BuildDirectoryPage", "copy", *writer, *copy);
    }
    if (opened && copy) {
        printRatio("BuildDirectoryPage, list as opened,", "copy", *opened, *copy);
    }
    for (const auto& [label, times] : {std::pair{"", writer}, std::pair{", list as opened", opened}}) {
        if (times) {
            std::printf("    target: at least 500 MB/s%s: %s\n", label,
                        verdict(megabytesPerSecond(pageBytes, times->cpu) >= 500.0));
        }
    }

    const auto reader = reporter.times("Reader_ReadDirectoryPage");
    const auto keeping = reporter.times("Reader_ReadDirectoryPage_KeepingRecords");
    const auto fgets = reporter.times("Reader_Baseline_Fgets1024");
    const auto memchr = reporter.times("Reader_Baseline_MemchrScan");
    if (reader || keeping || fgets || memchr) {
        std::printf("\nReader (from the page file)\n");
    }
    if (reader) {
        printThroughput("ReadDirectoryPage", *reader, pageBytes, kContactCount);
    }
    if (keeping) {
        printThroughput("ReadDirectoryPage, records kept", *keeping, pageBytes, kContactCount);
    }
    if (fgets) {
        printThroughput("baseline: fgets into 1024 bytes", *fgets, pageBytes, 0);
    }
    if (memchr) {
        printThroughput("baseline: memchr line scan", *memchr, pageBytes, 0);
    }
    if (reader && fgets) {
        printRatio("ReadDirectoryPage", "fgets", *reader, *fgets);
    }
    if (keeping && fgets) {
        printRatio("ReadDirectoryPage, records kept,", "fgets", *keeping, *fgets);
    }
    if (reader && memchr) {
        printRatio("ReadDirectoryPage", "memchr", *reader, *memchr);
    }
    if (reader && fgets) {
        std::printf("    target: within 3x of the fgets baseline: %s\n", verdict(reader->cpu <= 3.0 * fgets->cpu));
    }

    const auto singles = reporter.times("List_SingleAdds");
    const auto bulk = reporter.times("List_BulkAddAll");
    if (singles || bulk) {
        std::printf("\nDirectoryList\n");
    }
    if (singles) {
        printTimes("100,000 single add calls", *singles);
        std::printf("  %10.0f adds/s\n", static_cast<double>(kContactCount) / singles->cpu);
        std::printf("    target: under 3 s: %s\n", verdict(singles->cpu < 3.0));
    }
    if (bulk) {
        printTimes("one addAll of 100,000 records", *bulk);
        std::printf("  %10.0f records/s\n", static_cast<double>(kContactCount) / bulk->cpu);
        std::printf("    target: under 0.3 s: %s\n", verdict(bulk->cpu < 0.3));
    }
    if (singles && bulk) {
        std::printf("    the single adds take %.1fx the time of the bulk add\n", singles->cpu / bulk->cpu);
    }
}

} // namespace

} // namespace fichelia::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    using Console = benchmark::ConsoleReporter;
    fichelia::bench::SummaryReporter reporter(::isatty(STDOUT_FILENO) != 0 ? Console::OO_ColorTabular
                                                                           : Console::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::fflush(stdout);
    fichelia::bench::printSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
