#include "platform/posix/registry_files.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lyrdua::platform {
namespace {

namespace result = registry_result;

constexpr char kTemporarySuffix[] = ".tmp";
constexpr mode_t kNewFileMode = 0644;
constexpr mode_t kNewFolderMode = 0755;
constexpr size_t kReadChunk = 16384;

// Failures that are about the system rather than the file.
uint32_t resource_error(int error) {
  switch (error) {
    case ENOMEM:
      return result::kNotEnoughMemory;
    case EMFILE:
    case ENFILE:
      return result::kTooManyOpenFiles;
    case ENAMETOOLONG:
      return result::kFilenameTooLong;
    case ENOSPC:
    case EDQUOT:
      return result::kDiskFull;
    default:
      return result::kIoDevice;
  }
}

uint32_t read_error(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return result::kFileNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return result::kAccessDenied;
    default:
      return resource_error(error);
  }
}

// Whatever keeps a file from being created or replaced where the root names
// it (no permission, a read-only file system, a file where a folder should
// be) means that the root cannot be written.
uint32_t write_error(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOENT:
    case ENOTDIR:
    case EISDIR:
    case EEXIST:
    case ELOOP:
    case ETXTBSY:
      return result::kAccessDenied;
    default:
      return resource_error(error);
  }
}

FileIdentity identity_of(const struct stat &status) {
  return {status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
          status.st_mtim.tv_nsec};
}

// Reads fd to its end; 0 or an errno value.
int read_all(int fd, ByteBuffer *text) {
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n == 0) return 0;
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (!text->append(chunk, static_cast<size_t>(n))) return ENOMEM;
  }
}

int write_all(int fd, const char *bytes, size_t n) {
  while (n > 0) {
    const ssize_t written = write(fd, bytes, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes += written;
    n -= static_cast<size_t>(written);
  }
  return 0;
}

// Creates the folders on the way to the file at path; 0 or an errno value.
int make_folders(char *path) {
  for (char *slash = std::strchr(path + 1, '/'); slash != nullptr;
       slash = std::strchr(slash + 1, '/')) {
    *slash = '\0';
    const int made = mkdir(path, kNewFolderMode);
    const int error = errno;
    *slash = '/';
    if (made != 0 && error != EEXIST) return error;
  }
  return 0;
}

// The folder that holds the file at path, as a C string; false when out of memory.
bool folder_of(const char *path, ByteBuffer *folder) {
  const char *slash = std::strrchr(path, '/');
  const bool named =
      slash == nullptr
          ? folder->append(".")
          : folder->append(path, slash == path ? 1 : static_cast<size_t>(slash - path));
  return named && folder->terminate();
}

// Makes a rename in the folder of path durable. A failure here leaves the new
// file in place, so it is not reported.
void sync_folder_of(const char *path) {
  ByteBuffer folder;
  if (!folder_of(path, &folder)) return;
  const int fd = open(folder.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

int lock_exclusively(int fd) {
  while (flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) return errno;
  return 0;
}

}  // namespace

uint32_t root_file_path(RegistryRoot root, ByteBuffer *path) {
  const bool user = root == RegistryRoot::kCurrentUser;
  const char *named = std::getenv(user ? "LYRDUA_REG_USER" : "LYRDUA_REG_MACHINE");
  bool ok;
  if (named != nullptr && named[0] != '\0') {
    ok = path->append(named);
  } else if (!user) {
    ok = path->append("/etc/lyrdua/machine.reg");
  } else if (const char *config = std::getenv("XDG_CONFIG_HOME");
             config != nullptr && config[0] == '/') {
    ok = path->append(config) && path->append("/lyrdua/user.reg");
  } else {
    const char *home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return result::kPathNotFound;
    ok = path->append(home) && path->append("/.config/lyrdua/user.reg");
  }
  return ok && path->terminate() ? result::kOk : result::kNotEnoughMemory;
}

bool same_identity(const FileIdentity &a, const FileIdentity &b) {
  return a.device == b.device && a.inode == b.inode && a.size == b.size &&
         a.modified_seconds == b.modified_seconds &&
         a.modified_nanoseconds == b.modified_nanoseconds;
}

uint32_t read_root_file(const char *path, ByteBuffer *text, FileIdentity *identity) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return read_error(errno);
  struct stat status;
  int error = fstat(fd, &status) != 0 ? errno : 0;
  if (error == 0 && S_ISDIR(status.st_mode)) error = EISDIR;
  if (error == 0) error = read_all(fd, text);
  close(fd);
  if (error != 0) return read_error(error);
  *identity = identity_of(status);
  return result::kOk;
}

uint32_t current_identity(const char *path, FileIdentity *identity) {
  struct stat status;
  if (stat(path, &status) != 0) return read_error(errno);
  *identity = identity_of(status);
  return result::kOk;
}

uint32_t check_writable(const char *path) {
  if (faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) != 0 && errno != ENOENT)
    return write_error(errno);
  ByteBuffer folder;
  if (!folder_of(path, &folder)) return result::kNotEnoughMemory;
  if (faccessat(AT_FDCWD, folder.data(), W_OK | X_OK, AT_EACCESS) != 0)
    return errno == ENOENT ? result::kFileNotFound : write_error(errno);
  return result::kOk;
}

LockedRootFile::~LockedRootFile() {
  if (fd_ >= 0) close(fd_);
}

uint32_t LockedRootFile::lock(const char *path) {
  char resolved[PATH_MAX];
  const bool linked = realpath(path, resolved) != nullptr;
  if (!path_.append(linked ? resolved : path) || !path_.terminate())
    return result::kNotEnoughMemory;
  char *writable_path = const_cast<char *>(path_.data());
  if (int error = make_folders(writable_path); error != 0) return write_error(error);
  // A writer that replaced the file while this one waited leaves this one
  // holding the lock of a file that is gone: take the new file's.
  for (;;) {
    fd_ = open(path_.data(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (fd_ < 0) return write_error(errno);
    if (int error = lock_exclusively(fd_); error != 0) return resource_error(error);
    struct stat held;
    struct stat named;
    if (fstat(fd_, &held) != 0) return resource_error(errno);
    if (stat(path_.data(), &named) == 0 && named.st_dev == held.st_dev &&
        named.st_ino == held.st_ino) {
      if (S_ISDIR(held.st_mode)) return result::kAccessDenied;
      mode_ = held.st_mode & 07777;
      break;
    }
    close(fd_);
    fd_ = -1;
  }
  const int error = read_all(fd_, &text_);
  return error == 0 ? result::kOk : read_error(error);
}

uint32_t LockedRootFile::replace(const ByteBuffer &text) {
  ByteBuffer temporary;
  if (!temporary.append(path_.data(), path_.size()) || !temporary.append(kTemporarySuffix) ||
      !temporary.terminate())
    return result::kNotEnoughMemory;
  const int fd =
      open(temporary.data(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode_);
  if (fd < 0) return write_error(errno);
  int error = fchmod(fd, mode_) != 0 ? errno : 0;
  if (error == 0) error = write_all(fd, text.data(), text.size());
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temporary.data(), path_.data()) != 0) error = errno;
  if (error != 0) {
    unlink(temporary.data());
    return write_error(error);
  }
  sync_folder_of(path_.data());
  return result::kOk;
}

}  // namespace lyrdua::platform
