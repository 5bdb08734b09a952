// Runs the lyrdua tool (or another program) as a user would and collects what
// it printed.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lyrdua::test {

#if defined(_WIN32)
// The C runtime's environment and the process's, which a started program inherits.
inline void set_env(const char *name, const char *value) { _putenv_s(name, value); }
inline void unset_env(const char *name) { _putenv_s(name, ""); }
#else
inline void set_env(const char *name, const char *value) { setenv(name, value, 1); }
inline void unset_env(const char *name) { unsetenv(name); }
#endif

// Sets an environment variable for its lifetime (unsets it for a null value)
// and then puts back what was there; a tool run meanwhile inherits it.
class EnvVariable {
 public:
  EnvVariable(const char *name, const char *value) : name_(name) {
    if (const char *old = std::getenv(name)) {
      old_ = old;
      had_ = true;
    }
    value != nullptr ? set_env(name, value) : unset_env(name);
  }
  ~EnvVariable() { had_ ? set_env(name_.c_str(), old_.c_str()) : unset_env(name_.c_str()); }
  EnvVariable(const EnvVariable &) = delete;
  EnvVariable &operator=(const EnvVariable &) = delete;

 private:
  std::string name_, old_;
  bool had_ = false;
};

struct ToolRun {
  int status = -1;  // exit status, or -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

inline std::string slurp(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

#if defined(_WIN32)
// One argument of a command line as the C runtime splits it again: quoted,
// with the backslashes before a quote (or the closing one) doubled.
inline std::string quote_argument(const std::string &arg) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

// A program's text-mode output ends its lines in CR LF; tests compare lines.
inline std::string unix_lines(const std::string &text) {
  std::string lines;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') lines += text[i];
  return lines;
}

inline HANDLE inheritable_file(const std::string &path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs program with args, feeding input on standard input.
inline ToolRun run_tool(const std::string &program, const std::vector<std::string> &args,
                        const std::string &input = "") {
  char folder[MAX_PATH], base[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  GetTempFileNameA(folder, "lyr", 0, base);
  const std::string in_path = base, out_path = in_path + ".out", err_path = in_path + ".err";
  std::ofstream(in_path, std::ios::binary) << input;
  HANDLE in = inheritable_file(in_path, GENERIC_READ, OPEN_EXISTING);
  HANDLE out = inheritable_file(out_path, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = inheritable_file(err_path, GENERIC_WRITE, CREATE_ALWAYS);
  std::string command = quote_argument(program);
  for (const std::string &a : args) command += " " + quote_argument(a);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  ToolRun run;
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    if (GetExitCodeProcess(process.hProcess, &status)) run.status = static_cast<int>(status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (HANDLE h : {in, out, err}) CloseHandle(h);
  run.out = unix_lines(slurp(out_path));
  run.err = unix_lines(slurp(err_path));
  for (const std::string &p : {in_path, out_path, err_path}) std::remove(p.c_str());
  return run;
}
#else
// Runs program with args, feeding input on standard input.
inline ToolRun run_tool(const std::string &program, const std::vector<std::string> &args,
                        const std::string &input = "") {
  char dir_template[] = "/tmp/lyrdua-tool-XXXXXX";
  std::string dir = mkdtemp(dir_template);
  std::string in_path = dir + "/in", out_path = dir + "/out", err_path = dir + "/err";
  std::ofstream(in_path, std::ios::binary) << input;
  ToolRun run;
  pid_t pid = fork();
  if (pid == 0) {
    int in = open(in_path.c_str(), O_RDONLY);
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.out = slurp(out_path);
  run.err = slurp(err_path);
  for (const std::string &p : {in_path, out_path, err_path}) std::remove(p.c_str());
  rmdir(dir.c_str());
  return run;
}
#endif

}  // namespace lyrdua::test
