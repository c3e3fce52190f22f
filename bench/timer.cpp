// Times whole runs of programs: starts each with CreateProcessA and an exact
// command line, waits for it to end and takes the elapsed time from
// QueryPerformanceCounter. One warm-up round, then the given number of
// rounds; every round runs every case once, starting one case later than
// the round before, so no case always follows the same neighbour.
//
//   timer.exe PLAN ROUNDS TIMES
//
// Each line of PLAN is NAME, TARGET, PROGRAM and COMMAND LINE separated by
// tabs. The first case is the floor; TARGET is the largest ratio of a case's
// time to the floor's, or "-". Prints one table row per case and a verdict
// on the machine's noise, and writes every round's times to TIMES (one line
// per round, one column per case). Exits 1 when a run fails (a program that
// cannot start, does not end within a minute or ends with a status other
// than 0).
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The half width of a median ratio's 95% interval up to which the machine
// counts as steady: two runs' medians then differ by at most 1.41 times as
// much, 0.05, in 19 pairs of runs out of 20.
constexpr double kSteadyWithin = 0.035;

struct Case {
  std::string name;
  std::string target;
  std::string program;
  std::string commandLine;
  std::vector<double> milliseconds;
};

bool ReadPlan(const char* path, std::vector<Case>* cases) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const size_t a = line.find('\t');
    const size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
    const size_t c = b == std::string::npos ? b : line.find('\t', b + 1);
    if (c == std::string::npos) {
      return false;
    }
    cases->push_back({line.substr(0, a),
                      line.substr(a + 1, b - a - 1),
                      line.substr(b + 1, c - b - 1),
                      line.substr(c + 1),
                      {}});
  }
  return !cases->empty();
}

bool HasLiveChild(DWORD parent) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return false;
  }
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry)) {
    found = entry.th32ParentProcessID == parent;
  }
  CloseHandle(snapshot);
  return found;
}

// The program a run started would otherwise still be starting while the
// next run is timed, on a machine with few cores.
void WaitForChildren(DWORD parent) {
  for (int i = 0; i < 1000 && HasLiveChild(parent); ++i) {
    Sleep(5);
  }
}

// Elapsed milliseconds of one whole run, or a negative value on failure.
double TimeRun(const Case& run) {
  std::string commandLine = run.commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(run.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::fprintf(stderr, "%s: cannot start %s (error %lu)\n", run.name.c_str(), run.program.c_str(),
                 GetLastError());
    return -1;
  }
  const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
  QueryPerformanceCounter(&end);
  DWORD status = 1;
  if (waited != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    std::fprintf(stderr, "%s: did not end within a minute\n", run.name.c_str());
  } else {
    GetExitCodeProcess(process.hProcess, &status);
    if (status != 0) {
      std::fprintf(stderr, "%s: exit status %lu\n", run.name.c_str(), status);
    }
  }
  WaitForChildren(process.dwProcessId);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (status != 0) {
    return -1;
  }
  return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// The median of the values and the bounds of its 95% confidence interval,
// taken from the values themselves: the order statistics that many places
// either side of the middle, as for any distribution.
struct Median {
  double value;
  double low;
  double high;
};

Median MedianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  const size_t middle = n / 2;
  const double value = n % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  const auto reach = static_cast<size_t>(std::ceil(0.98 * std::sqrt(static_cast<double>(n))));
  return {value, values[middle > reach ? middle - reach : 0],
          values[std::min(n - 1, middle + reach)]};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Case> cases;
  const int rounds = argc == 4 ? std::atoi(argv[2]) : 0;
  if (rounds < 1 || !ReadPlan(argv[1], &cases)) {
    std::fprintf(stderr, "usage: timer PLAN ROUNDS TIMES (ROUNDS >= 1)\n");
    return 2;
  }
  for (int round = -1; round < rounds; ++round) {
    for (size_t i = 0; i < cases.size(); ++i) {
      Case& run = cases[(static_cast<size_t>(round + 1) + i) % cases.size()];
      const double ms = TimeRun(run);
      if (ms < 0) {
        return 1;
      }
      if (round >= 0) {
        run.milliseconds.push_back(ms);
      }
    }
  }

  std::ofstream times(argv[3]);
  for (size_t round = 0; round < static_cast<size_t>(rounds); ++round) {
    for (const Case& run : cases) {
      times << run.milliseconds[round] << (&run == &cases.back() ? "\n" : "\t");
    }
  }

  // Each round's ratio of a case's time to the floor's, in which both ran
  // seconds apart under the same load from the rest of the machine, and the
  // ratio of the fastest runs, which load can only slow. The target applies
  // to the median of the first.
  const std::vector<double>& floor = cases.front().milliseconds;
  const double floorLeast = *std::min_element(floor.begin(), floor.end());
  std::printf("%-22s %9s %8s %8s %15s %9s %7s\n", "case", "median ms", "min ms", "ratio",
              "95% interval", "min ratio", "target");
  double worst = 0;
  for (const Case& run : cases) {
    std::vector<double> ratios;
    for (size_t i = 0; i < floor.size(); ++i) {
      ratios.push_back(run.milliseconds[i] / floor[i]);
    }
    const double least = *std::min_element(run.milliseconds.begin(), run.milliseconds.end());
    const Median ratio = MedianOf(ratios);
    std::printf("%-22s %9.2f %8.2f", run.name.c_str(), MedianOf(run.milliseconds).value, least);
    if (&run == &cases.front()) {
      std::printf("\n");
      continue;
    }
    std::printf(" %8.3f   %5.3f-%5.3f %9.3f", ratio.value, ratio.low, ratio.high,
                least / floorLeast);
    worst = std::max({worst, ratio.value - ratio.low, ratio.high - ratio.value});
    if (run.target != "-") {
      const double target = std::atof(run.target.c_str());
      std::printf(" %7.2f %s", target, ratio.value <= target ? "met" : "MISSED");
    }
    std::printf("\n");
  }
  if (worst <= kSteadyWithin) {
    std::printf("steady: every median ratio is known within %.3f either way\n", worst);
  } else {
    std::printf(
        "TOO NOISY TO TRUST: a median ratio is known only within %.3f either way (%.3f "
        "needed); run again when the machine is quieter, or with more rounds\n",
        worst, kSteadyWithin);
  }
  return 0;
}
