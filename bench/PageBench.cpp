// The page writer and reader over the page of 100,000 contacts, each next to
// the plain work it is compared with: copying as many bytes as the writer
// produces, and reading the file line by line without looking at the lines.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchData.h"
#include "page/ByteSource.h"
#include "page/PageReader.h"
#include "page/PageWriter.h"

namespace fichelia::bench {

namespace {

void setBytes(benchmark::State& state, std::size_t bytesPerIteration) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytesPerIteration));
}

void setItems(benchmark::State& state, std::size_t itemsPerIteration) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(itemsPerIteration));
}

void writePages(benchmark::State& state, const DirectoryList& list) {
    for (auto _ : state) {
        std::string page = BuildDirectoryPage(list);
        benchmark::DoNotOptimize(page.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, benchData().page.size());
    setItems(state, kContactCount);
}

// The list added in generated order, whose texts lie in memory in that order
// while the writer walks them in name order: the worst case for the caches.
void Writer_BuildDirectoryPage(benchmark::State& state) { writePages(state, *benchData().list); }

// The list as the open command leaves it, its texts in memory in list order.
void Writer_BuildDirectoryPage_OpenedList(benchmark::State& state) { writePages(state, *benchData().openedList); }

// A fresh string of the page's size filled in one copy: the least any writer
// of that many bytes does.
void Writer_Baseline_Copy(benchmark::State& state) {
    const BenchData& data = benchData();
    for (auto _ : state) {
        std::string copy(data.page);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, data.page.size());
}

void Reader_ReadDirectoryPage(benchmark::State& state) {
    const BenchData& data = benchData();
    std::size_t records = 0;
    const RecordReceiver receiver = [&records](Contact&& record) {
        benchmark::DoNotOptimize(record.name.data());
        ++records;
    };
    for (auto _ : state) {
        records = 0;
        const Result<void> read = readPageFile(data.pagePath, receiver);
        if (!read || records != kContactCount) {
            state.SkipWithError("the reader did not give every record back");
            break;
        }
    }
    setBytes(state, data.page.size());
    setItems(state, kContactCount);
}

// The same with a receiver that keeps every record, as the open command does:
// then each record's texts need memory of their own. Freeing the records
// afterwards is left out of the time.
void Reader_ReadDirectoryPage_KeepingRecords(benchmark::State& state) {
    const BenchData& data = benchData();
    std::vector<Contact> records;
    records.reserve(kContactCount);
    const RecordReceiver receiver = [&records](Contact&& record) { records.push_back(std::move(record)); };
    for (auto _ : state) {
        const Result<void> read = readPageFile(data.pagePath, receiver);
        state.PauseTiming();
        const bool complete = read && records.size() == kContactCount;
        records.clear();
        state.ResumeTiming();
        if (!complete) {
            state.SkipWithError("the reader did not give every record back");
            break;
        }
    }
    setBytes(state, data.page.size());
    setItems(state, kContactCount);
}

// The old platform's way: fgets into a 1024-byte buffer, a line at a time.
void Reader_Baseline_Fgets1024(benchmark::State& state) {
    const BenchData& data = benchData();
    for (auto _ : state) {
        std::FILE* file = std::fopen(data.pagePath.c_str(), "rb");
        char line[1024];
        std::size_t lines = 0;
        while (std::fgets(line, sizeof line, file) != nullptr) {
            ++lines;
        }
        std::fclose(file);
        benchmark::DoNotOptimize(lines);
    }
    setBytes(state, data.page.size());
}

// The file read in the reader's chunk size and its line ends found with memchr.
void Reader_Baseline_MemchrScan(benchmark::State& state) {
    const BenchData& data = benchData();
    std::vector<char> chunk(64 * 1024);
    for (auto _ : state) {
        std::FILE* file = std::fopen(data.pagePath.c_str(), "rb");
        std::size_t lines = 0;
        std::size_t size = 0;
        while ((size = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
            const char* p = chunk.data();
            const char* const end = p + size;
            while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
                ++lines;
                ++p;
            }
        }
        std::fclose(file);
        benchmark::DoNotOptimize(lines);
    }
    setBytes(state, data.page.size());
}

} // namespace

BENCHMARK(Writer_BuildDirectoryPage)->Unit(benchmark::kMillisecond);
BENCHMARK(Writer_BuildDirectoryPage_OpenedList)->Unit(benchmark::kMillisecond);
BENCHMARK(Writer_Baseline_Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(Reader_ReadDirectoryPage)->Unit(benchmark::kMillisecond);
BENCHMARK(Reader_ReadDirectoryPage_KeepingRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(Reader_Baseline_Fgets1024)->Unit(benchmark::kMillisecond);
BENCHMARK(Reader_Baseline_MemchrScan)->Unit(benchmark::kMillisecond);

} // namespace fichelia::bench
