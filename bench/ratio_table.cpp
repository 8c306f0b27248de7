#include "ratio_table.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace bench {
namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The anchors of a row: every "<row>/<library>" that is not ours.
std::vector<std::pair<std::string, double>> AnchorsOf(const std::map<std::string, double>& throughputs,
                                                      const std::string& row) {
    std::vector<std::pair<std::string, double>> anchors;
    const std::string prefix = row + "/";
    for (auto it = throughputs.lower_bound(prefix); it != throughputs.end() && it->first.starts_with(prefix);
         ++it) {
        const std::string library = it->first.substr(prefix.size());
        if (library != kOurs) {
            anchors.emplace_back(library, it->second);
        }
    }
    return anchors;
}

double Find(const std::map<std::string, double>& throughputs, const std::string& name) {
    const auto it = throughputs.find(name);
    return it == throughputs.end() ? 0 : it->second;
}

std::string Number(double value, const char* format) {
    if (value <= 0) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// "meets >= 1.00" / "MISSES >= 1.00"; the direction says whether higher or lower is better.
std::string Verdict(double value, double target, bool higher_is_better) {
    if (value <= 0 || target <= 0) {
        return "";
    }
    const bool met = higher_is_better ? value >= target : value <= target;
    char text[48];
    std::snprintf(text, sizeof text, "%s %s %.2f", met ? "meets" : "MISSES",
                  higher_is_better ? ">=" : "<=", target);
    return text;
}

// One line of columns; a negative width aligns to the left.
void Line(std::ostream& out, const std::vector<int>& widths, const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
        const size_t width = size_t(widths[i] < 0 ? -widths[i] : widths[i]);
        const size_t pad = cells[i].size() < width ? width - cells[i].size() : 0;
        if (widths[i] < 0) {
            line += cells[i] + std::string(pad, ' ');
        } else {
            line += std::string(pad, ' ') + cells[i];
        }
        line += "  ";
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    out << line << '\n';
}

constexpr double kMega = 1e6;

}  // namespace

CollectingReporter::CollectingReporter()
    : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const auto counter = run.counters.find("bytes_per_second");
        if (run.error_occurred || counter == run.counters.end()) {
            continue;
        }
        const std::string name = run.run_name.function_name;
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "median") {
                medians_[name] = counter->second.value;
            }
        } else {
            samples_[name].push_back(counter->second.value);
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

std::map<std::string, double> CollectingReporter::Throughputs() const {
    std::map<std::string, double> throughputs = medians_;
    for (const auto& [name, values] : samples_) {
        if (!throughputs.contains(name)) {
            throughputs[name] = Median(values);
        }
    }
    return throughputs;
}

void PrintRatioTable(std::ostream& out, const std::map<std::string, double>& throughputs,
                     const std::vector<RatioRow>& rows, const std::vector<Combination>& combinations) {
    const std::vector<int> row_widths = {-15, 10, -9, 8, 9, -14, 9, -14};
    bool header = false;
    for (const RatioRow& row : rows) {
        const double ours = Find(throughputs, row.row + "/" + kOurs) / kMega;
        std::string best_name = "-";
        double best = 0;
        for (const auto& [library, value] : AnchorsOf(throughputs, row.row)) {
            if (value / kMega > best) {
                best = value / kMega;
                best_name = library;
            }
        }
        if (ours <= 0 && best <= 0) {
            continue;
        }
        if (!header) {
            out << "\nOurs against the fastest anchor library, all measured in this run (MB/s = 10^6 "
                   "bytes/s)\n";
            Line(out, row_widths, {"", "ours MB/s", "best", "MB/s", "ours/best", "", "ours/zlib", ""});
            header = true;
        }
        const double zlib = Find(throughputs, row.row + "/zlib") / kMega;
        const double ratio = ours > 0 && best > 0 ? ours / best : 0;
        const double zlib_ratio = ours > 0 && zlib > 0 ? ours / zlib : 0;
        Line(out, row_widths,
             {row.title, Number(ours, "%.1f"), best_name, Number(best, "%.1f"), Number(ratio, "%.3f"),
              Verdict(ratio, row.target, true), Number(zlib_ratio, "%.3f"),
              Verdict(zlib_ratio, row.zlib_target, true)});
    }

    const std::vector<int> pass_widths = {-15, 10, 15, 8, -14, 10, 10};
    header = false;
    for (const Combination& combination : combinations) {
        const double ours = Find(throughputs, combination.row + "/" + kOurs) / kMega;
        if (ours <= 0) {
            continue;
        }
        if (!header) {
            out << "\nOne pass over several algorithms: its time against the sum of their individual times\n";
            Line(out, pass_widths,
                 {"", "ours MB/s", "parts' sum MB/s", "time/sum", "", "RHash MB/s", "ours/RHash"});
            header = true;
        }
        // Seconds per megabyte add up; the sum is shown as the throughput it amounts to.
        double seconds_per_mb = 0;
        for (const std::string& part : combination.parts) {
            const double value = Find(throughputs, part + "/" + kOurs) / kMega;
            seconds_per_mb = value > 0 && seconds_per_mb >= 0 ? seconds_per_mb + 1 / value : -1;
        }
        const double parts = seconds_per_mb > 0 ? 1 / seconds_per_mb : 0;
        const double time_ratio = parts > 0 ? parts / ours : 0;
        const double rhash = Find(throughputs, combination.row + "/RHash") / kMega;
        Line(out, pass_widths,
             {combination.row, Number(ours, "%.1f"), Number(parts, "%.1f"), Number(time_ratio, "%.3f"),
              Verdict(time_ratio, combination.target, false), Number(rhash, "%.1f"),
              Number(rhash > 0 ? ours / rhash : 0, "%.3f")});
        out << "    " << combination.title << '\n';
    }
}

}  // namespace bench
