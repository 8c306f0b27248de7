// Collects every benchmark's throughput as the console shows it, and prints afterwards how ours
// compares with the anchors measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace bench {

// Benchmark names are "<row>/<implementation>": "MD5/Orvendal", "MD5/OpenSSL", "HMAC-SHA1/Crypto++",
// "OnePass:default/RHash". Ours is always called this:
inline constexpr const char* kOurs = "Orvendal";

class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    // Colours only on a terminal, as Google Benchmark's own console output does.
    CollectingReporter();
    void ReportRuns(const std::vector<Run>& runs) override;

    // Bytes per second by benchmark name: the median over repetitions when there are several.
    std::map<std::string, double> Throughputs() const;

  private:
    std::map<std::string, std::vector<double>> samples_;
    std::map<std::string, double> medians_;
};

// One row of the table: an algorithm, an HMAC, or a one-pass combination.
struct RatioRow {
    std::string row;         // the benchmark name's first part
    std::string title;       // what the table shows
    double target = 0;       // ours / best anchor to reach; 0 for none
    double zlib_target = 0;  // ours / zlib to reach (the checksums); 0 for none
};

struct Combination {
    std::string row;
    std::string title;
    std::vector<std::string> parts;  // the rows whose individual times add up to the combination's
    double target = 0;               // combination time / sum of the parts' times, at most
};

// Throughputs in MB/s (10^6 bytes per second); a missing benchmark shows as "-".
void PrintRatioTable(std::ostream& out, const std::map<std::string, double>& throughputs,
                     const std::vector<RatioRow>& rows, const std::vector<Combination>& combinations);

}  // namespace bench
