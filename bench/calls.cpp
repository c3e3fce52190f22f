// Times, inside one warm process, the launcher's own work on top of the
// shell start: its real code on its real Win32 layer, one part at a time,
// so that a ratio above the floor can be put down to its parts.
//
//   calls.exe DIR ENTRIES ROUNDS
//
// DIR is the launcher's directory with start.ini (its start section naming
// an absent registry value); ENTRIES the number of entries a logged run
// writes. Prints each part's median over ROUNDS in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "config/launch_settings.h"
#include "config/registry.h"
#include "log/trace_log.h"
#include "platform/win32_platform.h"

namespace {

double MedianMilliseconds(int rounds, const std::function<void()>& part) {
  std::vector<double> times;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < rounds; ++i) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    part();
    QueryPerformanceCounter(&end);
    times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc == 4 ? std::atoi(argv[2]) : 0;
  const int rounds = argc == 4 ? std::atoi(argv[3]) : 0;
  if (entries < 1 || rounds < 1) {
    std::fprintf(stderr, "usage: calls DIR ENTRIES ROUNDS\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::string logName = dir + "\\calls.log";
  Win32Platform platform;

  struct Part {
    std::string name;
    std::function<void()> run;
  };
  const std::vector<Part> parts = {
      {"find the configuration file",
       [&] { FindConfigFile(platform, dir, "start", std::string()); }},
      {"read the ten settings", [&] { ReadSettings(platform, dir + "\\start.ini", "start"); }},
      {"registry lookup (absent value)",
       [&] {
         std::string value;
         ReadRegistryString(platform, "HKEY_LOCAL_MACHINE\\Software\\StartpointBench\\Absent",
                            value);
       }},
      {"save, change, restore directory",
       [&] {
         std::string saved;
         platform.GetCurrentDir(260, &saved);
         platform.SetCurrentDir(dir);
         platform.SetCurrentDir(saved);
       }},
      {"log: " + std::to_string(entries) + " entries",
       [&] {
         TraceLog log(platform);
         log.SetFilename(logName);
         log.Enable();
         for (int i = 0; i < entries; ++i) {
           log.Write("Trying to Launch installer now:");
         }
       }},
  };
  for (const Part& part : parts) {
    std::printf("  %-34s %7.2f ms\n", part.name.c_str(), MedianMilliseconds(rounds, part.run));
  }
  platform.RemoveFile(logName);
  return 0;
}
