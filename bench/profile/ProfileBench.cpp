// Loading a list file reads every key of every section, one call per key. With the parse
// cache that is one parse per file; without it, one parse per key. Run:
//   bench_profile --benchmark_counters_tabular=true
// and compare the "per_key" time of BM_LoadList (cached) with BM_ReadKeyReparsed.

#include "platform/profile/PrivateProfile.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <utime.h>

namespace {

constexpr std::array<const char*, 6> kKeys = {"Name", "voice", "Cmd", "CommandLine", "Gesture", "WhatToSay"};

class ListFiles {
public:
    ListFiles()
    {
        char pattern[] = "/tmp/vorlix-bench-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        m_folder = pattern;
    }
    ~ListFiles()
    {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

    // A list file of `sections` entries as the program writes it, old enough to be cached.
    const std::string& withSections(int sections)
    {
        auto found = m_files.find(sections);
        if (found != m_files.end())
            return found->second;
        const std::string file = (m_folder / ("apps" + std::to_string(sections) + ".INI")).string();
        std::ofstream out(file, std::ios::binary);
        out << "[General]\r\nappsnum=" << sections << "\r\nNextEntry=" << sections + 1 << "\r\n";
        for (int i = 1; i <= sections; ++i) {
            out << "[app" << i << "]\r\nName=Program number " << i << "\r\nvoice=Start program " << i
                << "\r\nCmd=/usr/bin/program" << i << "\r\nCommandLine=--open /home/user/Documents/file" << i
                << ".txt\r\nGesture=Wave\r\nWhatToSay=Starting program number " << i << " for you\r\n";
        }
        out.close();
        struct utimbuf times {};
        times.actime = times.modtime = ::time(nullptr) - 3600;
        ::utime(file.c_str(), &times);
        return m_files.emplace(sections, file).first->second;
    }

private:
    std::filesystem::path m_folder;
    std::map<int, std::string> m_files;
};

ListFiles& listFiles()
{
    static ListFiles files;
    return files;
}

void readEveryKey(const std::string& file, int sections, bool reparse)
{
    std::string value;
    for (int i = 1; i <= sections; ++i) {
        const std::string section = "app" + std::to_string(i);
        for (const char* key : kKeys) {
            if (reparse)
                ClearPrivateProfileCache();
            benchmark::DoNotOptimize(GetPrivateProfileString(section, key, "", value, kProfileBufferSize, file));
        }
    }
}

void reportPerKey(benchmark::State& state, int sections)
{
    const double keys = double(sections) * kKeys.size();
    state.SetItemsProcessed(int64_t(state.iterations() * keys));
    state.counters["per_key"] = benchmark::Counter(double(state.iterations()) * keys,
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The program's access pattern: every key of every section, through the cache.
void BM_LoadList(benchmark::State& state)
{
    const int sections = int(state.range(0));
    const std::string& file = listFiles().withSections(sections);
    ClearPrivateProfileCache();
    for (auto _ : state)
        readEveryKey(file, sections, false);
    reportPerKey(state, sections);
}
BENCHMARK(BM_LoadList)->Arg(1000)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same with a parse per call, for sizes where that finishes in reasonable time.
void BM_LoadListReparsed(benchmark::State& state)
{
    const int sections = int(state.range(0));
    const std::string& file = listFiles().withSections(sections);
    for (auto _ : state)
        readEveryKey(file, sections, true);
    reportPerKey(state, sections);
}
BENCHMARK(BM_LoadListReparsed)->Arg(100)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond);

// One key read with a parse per call: what each of the 60,000 reads of a 10,000-section
// list would cost without the cache.
void BM_ReadKeyReparsed(benchmark::State& state)
{
    const int sections = int(state.range(0));
    const std::string& file = listFiles().withSections(sections);
    std::string value;
    int i = 0;
    for (auto _ : state) {
        ClearPrivateProfileCache();
        const std::string section = "app" + std::to_string(1 + i++ % sections);
        benchmark::DoNotOptimize(GetPrivateProfileString(section, "voice", "", value, kProfileBufferSize, file));
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["per_key"] = benchmark::Counter(double(state.iterations()),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadKeyReparsed)->Arg(1000)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
