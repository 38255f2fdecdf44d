// The main of every benchmark program: a QApplication (fonts, images, timers and the
// widgets some benchmarks draw need one), offscreen unless told otherwise.
//
// Benchmarks come in pairs where a speed is judged against a baseline measured in the same
// run: "BM_X" and "BM_X_Baseline". After the usual table the program prints each pair's
// ratio (ours / baseline, by real time; the median when repetitions are asked for).
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

class PairReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median")
                continue;
            const std::string name = run.run_name.str();
            // A median, once there is one, wins over the single repetitions.
            if (aggregate || !_medians.count(name)) {
                _times[name] = run.GetAdjustedRealTime();
                _units[name] = benchmark::GetTimeUnitString(run.time_unit);
                if (aggregate)
                    _medians[name] = true;
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        static const std::string suffix = "_Baseline";
        bool header = false;
        for (const auto& [name, time] : _times) {
            // "BM_X_Baseline/3000" pairs with "BM_X/3000": the suffix ends the name before
            // its arguments.
            const std::string base = name.substr(0, name.find('/'));
            if (base.size() <= suffix.size()
                || base.compare(base.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string ours =
                base.substr(0, base.size() - suffix.size()) + name.substr(base.size());
            const auto it = _times.find(ours);
            if (it == _times.end() || time <= 0)
                continue;
            if (!header) {
                std::printf("\n%-40s %14s %14s %8s\n", "pair", "ours", "baseline", "ratio");
                header = true;
            }
            std::printf("%-40s %11.3f %-2s %11.3f %-2s %8.2f\n", ours.c_str(), it->second,
                        _units[ours].c_str(), time, _units[name].c_str(), it->second / time);
        }
        std::fflush(stdout);
    }

private:
    std::map<std::string, double> _times;
    std::map<std::string, std::string> _units;
    std::map<std::string, bool> _medians;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
