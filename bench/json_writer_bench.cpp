// JSON output of the batch commands: the points of a chart of 200 000 values written by the
// streaming writer, against the same document built as a tree and dumped by the JSON library
// (how the commands printed before), and against copying the output's bytes (the limit for
// any writer). Throughput is of the bytes written.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "core/json_writer.h"

namespace {

// Counts what it is given and keeps nothing, so the figures are of the writing alone.
class CountingBuffer final : public std::streambuf {
 public:
  std::size_t count = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count += static_cast<std::size_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++count;
    return c;
  }
};

struct Point {
  std::uint32_t index;
  int block, sample, point;
  double value, distance;
  bool beyond;
};

// Values as a chart of measurements has them: 4 decimals around 20, distances of many digits.
const std::vector<Point>& Points() {
  static const std::vector<Point> points = [] {
    std::vector<Point> out;
    for (std::uint32_t i = 1; i <= 200000; ++i) {
      const double value = 20 + std::round(std::sin(i * 0.37) * 120) / 10000;
      out.push_back({i, 1, static_cast<int>((i - 1) / 200 + 1), static_cast<int>((i - 1) % 200 + 1), value,
                     (value - 20) / 0.0041, std::abs(value - 20) > 0.011});
    }
    return out;
  }();
  return points;
}

constexpr std::string_view kZones[] = {"outside", "A", "B", "C"};

void WritePoints(mv::JsonWriter& w) {
  w.BeginObject();
  w.Key("points");
  w.BeginArray();
  for (const Point& p : Points()) {
    w.BeginObject();
    w.Field("index", p.index);
    w.Field("block", p.block);
    w.Field("sample", p.sample);
    w.Field("point", p.point);
    w.Field("value", p.value);
    w.Field("present", true);
    w.Field("beyond", p.beyond);
    w.Field("zone", kZones[p.index & 3]);
    w.Field("sigmaDistance", p.distance);
    w.Key("entryFlags");
    w.BeginArray();
    if (p.point == 1) w.String("blockStart");
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  w.Done();
}

void BM_JsonWriter(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountingBuffer buffer;
    std::ostream out(&buffer);
    {
      mv::JsonWriter w(out);
      WritePoints(w);
    }
    bytes = buffer.count;
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_JsonWriter)->Unit(benchmark::kMillisecond);

// The document as a tree of the JSON library, then its dump with two spaces.
void BM_LibraryTreeAndDump(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (const Point& p : Points()) {
      nlohmann::ordered_json flags = nlohmann::ordered_json::array();
      if (p.point == 1) flags.push_back("blockStart");
      points.push_back({{"index", p.index},
                        {"block", p.block},
                        {"sample", p.sample},
                        {"point", p.point},
                        {"value", p.value},
                        {"present", true},
                        {"beyond", p.beyond},
                        {"zone", kZones[p.index & 3]},
                        {"sigmaDistance", p.distance},
                        {"entryFlags", std::move(flags)}});
    }
    const nlohmann::ordered_json json = {{"points", std::move(points)}};
    CountingBuffer buffer;
    std::ostream out(&buffer);
    out << json.dump(2) << "\n";
    bytes = buffer.count;
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_LibraryTreeAndDump)->Unit(benchmark::kMillisecond);

// Copying the finished output once: what any writer of these bytes costs at least.
void BM_CopyOfTheOutput(benchmark::State& state) {
  std::ostringstream text;
  {
    mv::JsonWriter w(text);
    WritePoints(w);
  }
  const std::string bytes = text.str();
  std::string copy(bytes.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_CopyOfTheOutput)->Unit(benchmark::kMillisecond);

}  // namespace
