// Starts programs with exact command lines, which "wine prog.exe args" cannot
// give: Wine quotes and rewrites arguments. The request file holds runs of four
// lines each: how many copies to start at once, the program, the working
// directory and the command line. The runs start at once, each in a job of its
// own, or with a second argument "in-turn" each when the one before has ended.
// A run ends when every process in its job has ended, the programs they started
// included; whatever still runs after 30 seconds (for each run, in turn) is
// ended. The copies write to this program's own output. Prints one line per run,
// in the request's order (in turn, right after the run's own output): each
// copy's exit status, then how many processes were still running. Exit status:
// 0 when every copy exited 0 and left nothing running, 1 otherwise, 200 when the
// request file cannot be read. Handles are left to the end of the process.
//
// Copied to where a launcher under test expects its installer or program, it
// stands in for them: started with PROBE_RECORD set, it appends how it was
// started (its command line, in which the shell quotes its path, a tab, and its
// working directory) as a line to that file.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32_platform.h"

namespace {

struct Run {
  HANDLE job;
  std::vector<HANDLE> processes;
};

DWORD Running(const Run& run) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION count = {};
  QueryInformationJobObject(run.job, JobObjectBasicAccountingInformation, &count, sizeof count,
                            nullptr);
  return count.ActiveProcesses;
}

// For at most 30 seconds.
void AwaitEnd(const Run* first, const Run* last) {
  for (int tick = 0; tick < 1500 && std::any_of(first, last, Running); ++tick) Sleep(20);
}

// Ends what still runs and prints the run's line; 1 when a copy failed or
// left something running, else 0.
int Report(const Run& run) {
  const DWORD running = Running(run);
  TerminateJobObject(run.job, 1);
  int result = running != 0 ? 1 : 0;
  for (const HANDLE started : run.processes) {
    DWORD status = 1;  // also when it did not start
    GetExitCodeProcess(started, &status);
    std::printf("%lu ", status);
    result |= status != 0 ? 1 : 0;
  }
  std::printf("%lu\n", running);
  std::fflush(stdout);  // before the next run's copies write
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* record = std::getenv("PROBE_RECORD")) {
    // Appended as the launcher appends to its log, so that copies started at
    // once never overwrite each other's line. In a double-byte code page a
    // directory of MAX_PATH characters takes up to twice as many bytes.
    Win32Platform platform;
    std::string dir;
    platform.GetCurrentDir(2 * MAX_PATH, &dir);
    platform.AppendText(record, std::string(GetCommandLineA()) + '\t' + dir + '\n');
    return 0;
  }
  // Wine starts its desktop process for the first program that needs one,
  // inside that program's job, where a run would wait for it; asked for
  // here, outside the jobs, it serves every run.
  GetDesktopWindow();
  std::ifstream request(argc >= 2 ? argv[1] : "", std::ios::binary);
  const bool inTurn = argc == 3 && std::string(argv[2]) == "in-turn";
  int result = request ? 0 : 200;
  std::vector<Run> runs;
  std::string copies, program, dir, line;
  while (std::getline(request, copies) && std::getline(request, program) &&
         std::getline(request, dir) && std::getline(request, line)) {
    SetEnvironmentVariableA("PROBE_RECORD", (dir + "\\starts.txt").c_str());
    Run& run = runs.emplace_back(
        Run{CreateJobObjectA(nullptr, nullptr), std::vector<HANDLE>(std::stoul(copies))});
    for (HANDLE& started : run.processes) {
      STARTUPINFOA startup = {};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
      startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
      startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
      PROCESS_INFORMATION process = {};
      // Suspended until it is in the job, so that all it starts joins the job. Only
      // CreateProcessW may write to the command line.
      if (CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                         nullptr, dir.c_str(), &startup, &process)) {
        AssignProcessToJobObject(run.job, process.hProcess);
        ResumeThread(process.hThread);
        started = process.hProcess;
      }
    }
    if (inTurn) {
      AwaitEnd(&run, &run + 1);
      result |= Report(run);
    }
  }
  if (!inTurn) {
    AwaitEnd(runs.data(), runs.data() + runs.size());
    for (const Run& run : runs) result |= Report(run);
  }
  return result;
}
