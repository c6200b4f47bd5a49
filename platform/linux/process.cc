// Processes: CreateProcessA over posix_spawn, waiting, exit codes.
//
// Exit codes: a child that exits reports its exit status (0-255 on Linux); one
// killed by a signal reports 128 + the signal number, the shell's convention,
// since Windows has no signals to report. If the host reaps our children
// itself (waitpid(-1) or SIGCHLD ignored), the code is lost and reads as 0.
//
// Zombies: a child whose handles are all closed while it still runs is put on
// an orphan list; every later CreateProcessA and handle release reaps the
// orphans that have ended, without blocking, so an ended child lingers as a
// zombie only until the next such call.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/handle_table.h"
#include "platform/linux/last_error.h"
#include "platform/linux/unload.h"
#include "platform/win32.h"

extern char** environ;

namespace orvo::linux_api {
namespace {

struct Orphans {
  std::mutex mutex;
  std::vector<pid_t> pids;
};

Orphans& TheOrphans() {
  static Orphans* orphans = KeptUntilUnload(new Orphans);
  return *orphans;
}

void ReapOrphans() {
  Orphans& orphans = TheOrphans();
  std::lock_guard<std::mutex> lock(orphans.mutex);
  auto ended = [](pid_t pid) {
    int status;
    pid_t result;
    do {
      result = waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    return result != 0;  // reaped, or no longer our child
  };
  orphans.pids.erase(std::remove_if(orphans.pids.begin(), orphans.pids.end(), ended),
                     orphans.pids.end());
}

DWORD ExitCodeFromStatus(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128 + static_cast<DWORD>(WTERMSIG(status));
  return 0;
}

// One child, shared by its process and thread handles.
class ChildProcess {
 public:
  ChildProcess(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}
  ~ChildProcess() {
    if (!Poll()) {
      Orphans& orphans = TheOrphans();
      std::lock_guard<std::mutex> lock(orphans.mutex);
      orphans.pids.push_back(pid_);
    }
    if (pidfd_ >= 0) close(pidfd_);
    ReapOrphans();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }

  // Reaps the child if it has ended; true once it has. Never blocks.
  bool Poll() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return true;
    int status = 0;
    pid_t result;
    do {
      result = waitpid(pid_, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return false;
    ended_ = true;
    exit_code_ = result == pid_ ? ExitCodeFromStatus(status) : 0;
    return true;
  }

  DWORD exit_code() { return Poll() ? exit_code_ : static_cast<DWORD>(STILL_ACTIVE); }

  // WaitForSingleObject on the child.
  DWORD Wait(DWORD milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::chrono::milliseconds backoff(1);
    for (;;) {
      if (Poll()) return WAIT_OBJECT_0;
      int timeout_ms = -1;
      if (milliseconds != INFINITE) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return WAIT_TIMEOUT;
        // Round up so that a wait never ends a little early.
        timeout_ms = static_cast<int>(std::min<long long>(left.count() + 1, INT_MAX));
      }
      if (pidfd_ >= 0) {
        struct pollfd ready {};
        ready.fd = pidfd_;
        ready.events = POLLIN;
        if (poll(&ready, 1, timeout_ms) < 0 && errno != EINTR) {
          SetLastErrorFromErrno(errno);
          return WAIT_FAILED;
        }
      } else {
        // Kernels without pidfd (before 5.3): check back with a growing pause.
        auto pause = backoff;
        if (timeout_ms >= 0) pause = std::min(pause, std::chrono::milliseconds(timeout_ms));
        struct timespec ts {};
        ts.tv_sec = static_cast<time_t>(pause.count() / 1000);
        ts.tv_nsec = static_cast<long>((pause.count() % 1000) * 1000000);
        nanosleep(&ts, nullptr);
        backoff = std::min(backoff * 2, std::chrono::milliseconds(50));
      }
    }
  }

 private:
  const pid_t pid_;
  const int pidfd_;  // -1 where the kernel has no pidfd_open
  std::mutex mutex_;
  bool ended_ = false;
  DWORD exit_code_ = STILL_ACTIVE;
};

// A handle to the child process, or to its main thread, which ends with it.
template <ObjectKind Kind>
class ChildHandle : public HandleObject {
 public:
  static constexpr ObjectKind kKind = Kind;
  explicit ChildHandle(std::shared_ptr<ChildProcess> child)
      : HandleObject(kKind), child_(std::move(child)) {}
  const std::shared_ptr<ChildProcess>& child() const { return child_; }

 private:
  const std::shared_ptr<ChildProcess> child_;
};
using ProcessHandle = ChildHandle<ObjectKind::kProcess>;
using ThreadHandle = ChildHandle<ObjectKind::kThread>;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits a command line as the Microsoft C runtime does. The program name
// ends at the next blank, or at the closing quote when it starts quoted, with
// no escapes. In the arguments, 2n backslashes before a quote give n
// backslashes and the quote opens or closes quoting; 2n+1 give n backslashes
// and a literal quote; backslashes elsewhere are literal; "" inside quotes is
// a literal quote that keeps quoting open (the 2008 runtime's rule).
std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> args;
  const char* p = line;
  while (IsBlank(*p)) ++p;
  if (*p == '\0') return args;
  std::string program;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') program += *p++;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !IsBlank(*p)) program += *p++;
  }
  args.push_back(program);
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == '\0') break;
    std::string arg;
    bool quoted = false;
    while (*p != '\0' && (quoted || !IsBlank(*p))) {
      size_t backslashes = 0;
      while (*p == '\\') {
        ++backslashes;
        ++p;
      }
      if (*p == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          arg += '"';
          ++p;
        } else if (quoted && p[1] == '"') {
          arg += '"';
          p += 2;
        } else {
          quoted = !quoted;
          ++p;
        }
      } else {
        arg.append(backslashes, '\\');
        if (*p != '\0' && (quoted || !IsBlank(*p))) arg += *p++;
      }
    }
    args.push_back(arg);
  }
  return args;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// Checks that path names a program this process may run; returns
// ERROR_SUCCESS or the Windows code for why not.
DWORD CheckProgram(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    // Windows says "file not found" for a missing directory on the way too.
    return errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno);
  }
  if (S_ISDIR(st.st_mode) || access(path.c_str(), X_OK) != 0) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

// Finds the program: a name with a '/' is taken relative to the caller's
// directory, as Windows resolves it before the child's directory applies;
// a bare name is searched for in PATH.
DWORD ResolveProgram(const std::string& name, std::string* path) {
  if (name.empty()) return ERROR_FILE_NOT_FOUND;
  if (name.find('/') != std::string::npos) {
    *path = name[0] == '/' ? name : CurrentDirectory() + "/" + name;
    return CheckProgram(*path);
  }
  const char* search = getenv("PATH");
  std::string dirs = search != nullptr ? search : "/usr/local/bin:/usr/bin:/bin";
  DWORD result = ERROR_FILE_NOT_FOUND;
  size_t start = 0;
  for (;;) {
    size_t colon = dirs.find(':', start);
    std::string dir =
        dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (dir.empty()) dir.push_back('.');  // an empty PATH entry is the current directory
    std::string candidate = dir;
    candidate += '/';
    candidate += name;
    DWORD check = CheckProgram(candidate);
    if (check == ERROR_SUCCESS) {
      *path = candidate[0] == '/' ? candidate : CurrentDirectory() + "/" + candidate;
      return ERROR_SUCCESS;
    }
    if (check != ERROR_FILE_NOT_FOUND) result = check;  // found, but not runnable
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return result;
}

// "NAME=value\0NAME=value\0\0", the Windows environment block.
std::vector<std::string> SplitEnvironmentBlock(const char* block) {
  std::vector<std::string> entries;
  for (const char* p = block; *p != '\0'; p += std::strlen(p) + 1) entries.emplace_back(p);
  return entries;
}

struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
};

}  // namespace
}  // namespace orvo::linux_api

BOOL CreateProcessA(LPCSTR application_name, LPSTR command_line,
                    LPSECURITY_ATTRIBUTES /*process_attributes*/,
                    LPSECURITY_ATTRIBUTES /*thread_attributes*/, BOOL /*inherit_handles*/,
                    DWORD /*creation_flags*/, LPVOID environment, LPCSTR current_directory,
                    LPSTARTUPINFOA /*startup_info*/, LPPROCESS_INFORMATION process_information) {
  using namespace orvo::linux_api;
  if ((application_name == nullptr && command_line == nullptr) || process_information == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ReapOrphans();
  std::vector<std::string> args =
      SplitCommandLine(command_line != nullptr ? command_line : application_name);
  if (args.empty()) args.emplace_back(application_name != nullptr ? application_name : "");
  std::string program;
  DWORD found = ResolveProgram(
      NativePath(application_name != nullptr ? application_name : args[0].c_str()), &program);
  if (found != ERROR_SUCCESS) {
    SetLastError(found);
    return FALSE;
  }
  std::string directory;
  if (current_directory != nullptr) {
    directory = NativePath(current_directory);
    struct stat st;
    if (stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
  }

  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_entries;
  std::vector<char*> envp;
  char** env = environ;
  if (environment != nullptr) {
    env_entries = SplitEnvironmentBlock(static_cast<const char*>(environment));
    for (std::string& entry : env_entries) envp.push_back(entry.data());
    envp.push_back(nullptr);
    env = envp.data();
  }

  SpawnSetup setup;
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&setup.actions, directory.c_str());
  // A Windows child starts with no inherited signal state; the host may have
  // blocked or ignored signals (SIGPIPE, typically).
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&setup.attributes, &all);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = 0;
  int error =
      posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), env);
  if (error != 0) {
    SetLastError(error == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(error));
    return FALSE;
  }
  int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidfd >= 0) fcntl(pidfd, F_SETFD, FD_CLOEXEC);
  auto child = std::make_shared<ChildProcess>(pid, pidfd < 0 ? -1 : pidfd);
  HANDLE process = InsertHandle(std::make_shared<ProcessHandle>(child));
  HANDLE thread =
      process != nullptr ? InsertHandle(std::make_shared<ThreadHandle>(child)) : nullptr;
  if (thread == nullptr) {
    // No handle to give out: stop the child rather than leave it unowned.
    if (process != nullptr) RemoveHandle(process, /*find_handles=*/false);
    kill(pid, SIGKILL);
    child->Wait(INFINITE);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  process_information->hProcess = process;
  process_information->hThread = thread;
  process_information->dwProcessId = static_cast<DWORD>(pid);
  process_information->dwThreadId = static_cast<DWORD>(pid);  // the main thread's id
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  using namespace orvo::linux_api;
  std::shared_ptr<HandleObject> object = LookupAnyHandle(handle);
  if (object == nullptr) return WAIT_FAILED;
  switch (object->kind()) {
    case ObjectKind::kProcess:
      return static_cast<ProcessHandle&>(*object).child()->Wait(milliseconds);
    case ObjectKind::kThread:
      return static_cast<ThreadHandle&>(*object).child()->Wait(milliseconds);
    case ObjectKind::kFile:
      return WAIT_OBJECT_0;  // a file with no I/O pending is signalled
    case ObjectKind::kMapping:
      SetLastError(ERROR_ACCESS_DENIED);  // sections cannot be waited for
      return WAIT_FAILED;
    case ObjectKind::kFind:
      break;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return WAIT_FAILED;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exit_code) {
  using namespace orvo::linux_api;
  std::shared_ptr<ProcessHandle> object = LookupHandleAs<ProcessHandle>(process);
  if (object == nullptr) return FALSE;
  if (exit_code == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  *exit_code = object->child()->exit_code();
  return TRUE;
}
