// Filling a DirectoryList with the 100,000 generated contacts, in generated
// order: one add at a time, as the add command does, and in one addAll, as the
// open command does. Copying the records in beforehand and freeing the list
// afterwards are left out of the time.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "BenchData.h"

namespace fichelia::bench {

namespace {

void List_SingleAdds(benchmark::State& state) {
    const BenchData& data = benchData();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Contact> records = data.contacts;
        auto list = std::make_unique<DirectoryList>(data.collator);
        state.ResumeTiming();

        for (Contact& record : records) {
            benchmark::DoNotOptimize(list->add(std::move(record)));
        }

        state.PauseTiming();
        list.reset();
        records.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kContactCount));
}

void List_BulkAddAll(benchmark::State& state) {
    const BenchData& data = benchData();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Contact> records = data.contacts;
        auto list = std::make_unique<DirectoryList>(data.collator);
        state.ResumeTiming();

        if (!list->addAll(std::move(records))) {
            state.SkipWithError("the list did not take the records");
            break;
        }
        benchmark::DoNotOptimize(list->count());

        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kContactCount));
}

} // namespace

BENCHMARK(List_SingleAdds)->Unit(benchmark::kMillisecond);
BENCHMARK(List_BulkAddAll)->Unit(benchmark::kMillisecond);

} // namespace fichelia::bench
