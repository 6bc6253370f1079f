// The printer driver lookup against the bare setup-library calls the same
// lookup needs, on generated printer INFs placed as the system printer INF.
//
//   PrinterLookupBench [--models N] [--manufacturers N] [--lookups N]
//                      [--share N] [--growth-lookups N] [--seed N]
//
// Needs a Windows version that printer drivers serve here (the runner sets
// Windows 2000 for this program). "bare" opens the INF once for each section
// the lookup reads, as the lookup once did; "bare, one open" reads the INF
// once per lookup, as the lookup does.

#include <windows.h>
#include <setupapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BarePrinterLookup.h"
#include "BenchTiming.h"
#include "PrinterDriverFromINF.h"
#include "PrinterInfGenerator.h"

namespace {

using bench::Bare;
using Result = bench::LookupResult;

struct Settings {
  int models = 5000;
  int manufacturers = 60;
  int lookups = 1000;
  int share = 25;
  int growthLookups = 200;
  unsigned seed = 11;
};

std::string InfPath() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  return std::string(windows) + "\\inf\\ntprint.inf";
}

Result Ours(const std::string& name) {
  PrinterDriverFromINF driver(name.c_str());
  Result r;
  r.found = driver.FindDriver();
  r.modelName = driver.modelName.CStr();
  r.section = driver.modelSection.CStr();
  r.dataFile = driver.dataFile.CStr();
  r.driverFile = driver.driverFile.CStr();
  r.configFile = driver.configFile.CStr();
  r.helpFile = driver.helpFile.CStr();
  return r;
}

// Names to look up: random models, by their previous name when they have one
// every other time.
std::vector<std::string> PickNames(const printerinf::PrinterInf& inf, int count, unsigned seed) {
  std::vector<std::string> names;
  unsigned state = seed * 2654435761u + 1;
  for (int i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    const printerinf::Model& model = inf.Models()[(state >> 8) % inf.Models().size()];
    names.push_back(!model.previousName.empty() && (state & 1) ? model.previousName : model.name);
  }
  return names;
}

struct Timing {
  double ours = 0, bare = 0, bareOnce = 0;
  // The medians of the rounds' ours / bare and ours / bare with one open.
  double ratio = 0, ratioOnce = 0;
  int mismatches = 0, found = 0;
};

// Five rounds. Each name is looked up by the three sides in turn, in an
// order that turns from one name to the next, so that a slow moment of the
// shared machine lands on all three alike.
Timing Measure(const printerinf::PrinterInf& inf, int lookups, unsigned seed) {
  const int rounds = 5;
  Timing t;
  std::vector<std::string> names = PickNames(inf, lookups, seed);
  std::vector<double> ratios, ratiosOnce;
  Bare perSection(InfPath(), false), oneOpen(InfPath(), true);
  for (int round = 0; round < rounds; ++round) {
    size_t from = names.size() * round / rounds, to = names.size() * (round + 1) / rounds;
    std::vector<Result> results[3];
    double times[3] = {};
    for (size_t i = from; i < to; ++i) {
      for (int side = 0; side < 3; ++side) {
        int now = static_cast<int>((side + i) % 3);
        double start = bench::Now();
        results[now].push_back(now == 0 ? Ours(names[i]) : (now == 1 ? perSection : oneOpen).Lookup(names[i]));
        times[now] += bench::Now() - start;
      }
    }
    t.ours += times[0];
    t.bare += times[1];
    t.bareOnce += times[2];
    ratios.push_back(times[0] / times[1]);
    ratiosOnce.push_back(times[0] / times[2]);
    for (size_t i = 0; i < results[0].size(); ++i) {
      if (!(results[0][i] == results[1][i]) || !(results[0][i] == results[2][i])) ++t.mismatches;
      if (results[0][i].found) ++t.found;
    }
  }
  t.ratio = bench::Median(ratios);
  t.ratioOnce = bench::Median(ratiosOnce);
  return t;
}

printerinf::PrinterInf Generate(const Settings& s, int models, int share) {
  printerinf::Options options;
  options.seed = s.seed;
  options.models = models;
  options.manufacturers = s.manufacturers;
  options.modelsPerInstallSection = share;
  return printerinf::PrinterInf::Generate(options);
}

double OpenSeconds() {
  const int times = 3;
  double start = bench::Now();
  for (int i = 0; i < times; ++i) {
    HINF inf = SetupOpenInfFileA(InfPath().c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
  }
  return (bench::Now() - start) / times;
}

}  // namespace

int main(int argc, char** argv) {
  Settings s;
  for (int i = 1; i + 1 < argc; i += 2) {
    int value = atoi(argv[i + 1]);
    if (!strcmp(argv[i], "--models")) s.models = value;
    else if (!strcmp(argv[i], "--manufacturers")) s.manufacturers = value;
    else if (!strcmp(argv[i], "--lookups")) s.lookups = value;
    else if (!strcmp(argv[i], "--share")) s.share = value;
    else if (!strcmp(argv[i], "--growth-lookups")) s.growthLookups = value;
    else if (!strcmp(argv[i], "--seed")) s.seed = static_cast<unsigned>(value);
  }
  {
    PrinterDriverFromINF probe("x");
    if (!probe.DetermineDriverVersion()) {
      printf("This Windows has no printer driver version here: run with Wine's version set to win2k.\n");
      return 2;
    }
  }
  std::string path = InfPath();
  int status = 0;

  printerinf::PrinterInf inf = Generate(s, s.models, s.share);
  if (!inf.WriteTo(path, printerinf::Encoding::Ansi)) {
    printf("cannot write %s\n", path.c_str());
    return 1;
  }
  printf("INF: %d models, %d manufacturers, %d models per install section, %zu bytes\n", s.models, s.manufacturers,
         s.share, inf.Text().size());
  Timing main = Measure(inf, s.lookups, s.seed);
  printf("%d lookups (%d found, %d differ from bare)\n", s.lookups, main.found, main.mismatches);
  printf("  ours              %8.3f s  %7.2f ms/lookup\n", main.ours, main.ours * 1000 / s.lookups);
  printf("  bare              %8.3f s  %7.2f ms/lookup  ratio ours/bare %.2f (median of 5 rounds)\n", main.bare,
         main.bare * 1000 / s.lookups, main.ratio);
  printf("  bare, one open    %8.3f s  %7.2f ms/lookup  ratio ours/bare-one-open %.2f (median of 5 rounds)\n",
         main.bareOnce, main.bareOnce * 1000 / s.lookups, main.ratioOnce);
  if (main.mismatches) status = 1;

  printf("\nGrowth with the INF's size (%d lookups each, %d models per install section)\n", s.growthLookups, s.share);
  printf("  %7s %9s %12s %12s %7s %12s %7s %10s\n", "models", "bytes", "ours ms/lk", "bare ms/lk", "ratio",
         "1-open ms/lk", "ratio", "open ms");
  for (int models : {s.models / 4, s.models / 2, s.models}) {
    printerinf::PrinterInf sized = Generate(s, models, s.share);
    sized.WriteTo(path, printerinf::Encoding::Ansi);
    Timing t = Measure(sized, s.growthLookups, s.seed + 1);
    printf("  %7d %9zu %12.2f %12.2f %7.2f %12.2f %7.2f %10.2f\n", models, sized.Text().size(),
           t.ours * 1000 / s.growthLookups, t.bare * 1000 / s.growthLookups, t.ratio,
           t.bareOnce * 1000 / s.growthLookups, t.ratioOnce, OpenSeconds() * 1000);
    if (t.mismatches) status = 1;
  }

  printf("\nThe setup library's open alone, one install section per model\n");
  printf("  %7s %9s %9s %10s\n", "models", "bytes", "sections", "open ms");
  for (int models : {s.models / 4, s.models / 2, s.models}) {
    printerinf::PrinterInf sized = Generate(s, models, 1);
    sized.WriteTo(path, printerinf::Encoding::Ansi);
    size_t sections = 0;
    for (size_t at = sized.Text().find("\r\n["); at != std::string::npos; at = sized.Text().find("\r\n[", at + 1))
      ++sections;
    printf("  %7d %9zu %9zu %10.2f\n", models, sized.Text().size(), sections, OpenSeconds() * 1000);
  }

  DeleteFileA(path.c_str());
  return status;
}
