// ReadTextFile on a generated file of 1,000,000 rows of three "%.17g"
// doubles, as it reads by default (two threads for a file this large) and
// on one thread; bench/peer_text_import.py times numpy and pandas on the
// same file and prints the ratios. A second benchmark measures the peak
// resident memory of one import in a child process, against the column
// storage.

#include <malloc.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "io/io_status.h"
#include "io/text_reader.h"
#include "model/data_set.h"

namespace {

constexpr int kRows = 1'000'000;

// The file lives in the temporary folder and is made once; the peer script
// finds it through the benchmark's label.
const std::string& TextFile() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    std::string file = std::string(folder && *folder ? folder : "/tmp") + "/zentrel-bench-1000000x3.txt";
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 && info.st_size > 0) return file;
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, 0.05);
    const std::string partial = file + ".part";
    std::FILE* out = std::fopen(partial.c_str(), "w");
    if (out == nullptr) return std::string();
    for (int i = 0; i < kRows; ++i) {
      const double t = i * 1e-4;
      std::fprintf(out, "%.17g %.17g %.17g\n", t, std::exp(-t / 7.5) + noise(random), 1e-3 * (1.0 + uniform(random)));
    }
    if (std::fclose(out) != 0 || std::rename(partial.c_str(), file.c_str()) != 0) return std::string();
    return file;
  }();
  return path;
}

long FileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
}

void ReadTextFileWith(benchmark::State& state, const zentrel::TextReadThreads& threads) {
  const std::string& path = TextFile();
  if (path.empty()) {
    state.SkipWithError("cannot write the benchmark file");
    return;
  }
  for (auto _ : state) {
    zentrel::Data_Set set;
    if (zentrel::ReadTextFile(set, path, {}, nullptr, threads) != zentrel::kIoOk || set.PointCount(2) != kRows) {
      state.SkipWithError("the file did not read back");
      return;
    }
    benchmark::DoNotOptimize(set.ColumnData(2));
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.SetLabel(path);
}

void BM_ReadTextFile(benchmark::State& state) { ReadTextFileWith(state, {}); }

void BM_ReadTextFileOneThread(benchmark::State& state) {
  zentrel::TextReadThreads oneThread;
  oneThread.splitFrom = UINT64_MAX;
  ReadTextFileWith(state, oneThread);
}

// Several repetitions: the peer script takes the fastest, as it does for
// its own runs, so a busy machine disturbs both sides alike. Wall-clock
// time is what a person waits; the processor time is that of both threads.
BENCHMARK(BM_ReadTextFile)->Unit(benchmark::kMillisecond)->Repetitions(7)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_ReadTextFileOneThread)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime()->MeasureProcessCPUTime();

// kB from a "Name:   N kB" line of /proc/self/status.
long StatusKb(const char* name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(name, 0) == 0) return std::atol(line.c_str() + std::strlen(name));
  return -1;
}

// In a child process: forget the peak so far, import once, report how far
// the resident size rose above where it started, and the column bytes.
void BM_ReadTextFilePeakMemory(benchmark::State& state) {
  const std::string& path = TextFile();
  for (auto _ : state) {
    int pipeFds[2];
    if (path.empty() || ::pipe(pipeFds) != 0) {
      state.SkipWithError("cannot measure");
      return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::malloc_trim(0);
      std::FILE* reset = std::fopen("/proc/self/clear_refs", "w");
      if (reset != nullptr) std::fputs("5", reset), std::fclose(reset);
      const long before = StatusKb("VmRSS:");
      long columnBytes = 0;
      {
        zentrel::Data_Set set;
        zentrel::ReadTextFile(set, path);
        for (int c = 0; c < set.ColumnCount(); ++c) columnBytes += 8L * set.PointCount(c);
      }
      const long peak = StatusKb("VmHWM:");
      long report[2] = {(peak - before) * 1024, columnBytes};
      if (::write(pipeFds[1], report, sizeof report) != sizeof report) ::_exit(1);
      ::_exit(0);
    }
    ::close(pipeFds[1]);
    long report[2] = {0, 0};
    const bool got = ::read(pipeFds[0], report, sizeof report) == sizeof report;
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!got || report[1] <= 0) {
      state.SkipWithError("the child did not report");
      return;
    }
    state.counters["peak_rise_MiB"] = static_cast<double>(report[0]) / (1 << 20);
    state.counters["columns_MiB"] = static_cast<double>(report[1]) / (1 << 20);
    state.counters["peak_per_column_byte"] = static_cast<double>(report[0]) / static_cast<double>(report[1]);
  }
}
BENCHMARK(BM_ReadTextFilePeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
