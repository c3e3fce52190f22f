// Starts programs with exact command lines, which "wine prog.exe args" cannot
// give: Wine quotes and rewrites arguments. The request file holds runs of four
// lines each: how many copies to start at once, the program, the working
// directory and the command line. A run's copies start in one job; the run ends
// when every process in the job has ended, the programs they started included,
// or after 30 seconds. The copies write to this program's own output, so that
// a console program's report comes before its run's line. Prints one line per
// run: each copy's exit status, then how many processes were still running
// (they are then ended). Exit status: 0 when every copy exited 0 and left
// nothing running, 1 otherwise, 200 when the request file cannot be read.
// Handles are left to the end of the process.
//
// Copied to where a launcher under test expects its installer or program, it
// stands in for them: started with PROBE_RECORD set, it appends how it was
// started (its command line, in which the shell quotes its path, a tab, and its
// working directory) as a line to that file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (const char* record = std::getenv("PROBE_RECORD")) {
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    std::ofstream(record, std::ios::app) << GetCommandLineA() << '\t' << dir << '\n';
    return 0;
  }
  std::ifstream request(argc == 2 ? argv[1] : "", std::ios::binary);
  int result = request ? 0 : 200;
  std::string copies, program, dir, line;
  while (std::getline(request, copies) && std::getline(request, program) &&
         std::getline(request, dir) && std::getline(request, line)) {
    SetEnvironmentVariableA("PROBE_RECORD", (dir + "\\starts.txt").c_str());
    const HANDLE job = CreateJobObjectA(nullptr, nullptr);
    std::vector<HANDLE> processes(std::stoul(copies));
    for (HANDLE& started : processes) {
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
        AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
        started = process.hProcess;
      }
    }
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION count = {};
    for (int tick = 0; tick < 1500; ++tick, Sleep(20)) {
      QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &count, sizeof count,
                                nullptr);
      if (count.ActiveProcesses == 0) break;
    }
    TerminateJobObject(job, 1);
    for (const HANDLE started : processes) {
      DWORD status = 1;  // also when it did not start
      GetExitCodeProcess(started, &status);
      std::printf("%lu ", status);
      result |= status != 0 ? 1 : 0;
    }
    std::printf("%lu\n", count.ActiveProcesses);
    std::fflush(stdout);  // before the next run's copies write
    result |= count.ActiveProcesses != 0 ? 1 : 0;
  }
  return result;
}
