// Starts a program with an exact command line, which "wine prog.exe args"
// cannot give: Wine quotes and rewrites arguments. The request file holds
// the program path, the working directory (empty: inherit) and the command
// line, one per line; the command line runs to the end of the file. Prints
// nothing; the exit status is the program's, or 200 and up for a failure of
// this helper.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    return 200;
  }
  FILE* file = std::fopen(argv[1], "rb");
  if (file == nullptr) {
    return 201;
  }
  std::string request;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    request.append(buffer, n);
  }
  std::fclose(file);
  const size_t first = request.find('\n');
  const size_t second = first == std::string::npos ? first : request.find('\n', first + 1);
  if (second == std::string::npos) {
    return 202;
  }
  const std::string program = request.substr(0, first);
  const std::string dir = request.substr(first + 1, second - first - 1);
  std::string commandLine = request.substr(second + 1);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &startup, &process)) {
    return 203;
  }
  DWORD status = 204;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &status);
  } else {
    TerminateProcess(process.hProcess, 205);
    status = 205;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
