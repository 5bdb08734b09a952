// The files that hold the registry's roots on POSIX: where they are, reading
// one whole, and replacing one atomically under an advisory lock.
#pragma once

#include <sys/types.h>

#include <cstdint>

#include "platform/byte_buffer.hpp"
#include "platform/posix/registry_text.hpp"
#include "platform/registry.hpp"

namespace lyrdua::platform {

// The file of a root, as a C string in path (see registry.hpp for the names
// and variables). kPathNotFound when the user's file has no home to live in.
uint32_t root_file_path(RegistryRoot root, ByteBuffer *path);

// What tells one version of a file from another: every write replaces the
// file, so a change of inode is a change; an edit in place changes the size
// or the modification time.
struct FileIdentity {
  dev_t device;
  ino_t inode;
  off_t size;
  int64_t modified_seconds;
  int64_t modified_nanoseconds;
};

bool same_identity(const FileIdentity &a, const FileIdentity &b);

// Reads the whole file into text. kFileNotFound when it (or its folder) does
// not exist, kAccessDenied when it cannot be read.
uint32_t read_root_file(const char *path, ByteBuffer *text, FileIdentity *identity);

// The identity of the file now; kFileNotFound when it is gone.
uint32_t current_identity(const char *path, FileIdentity *identity);

// kOk when the file (if it exists) and its folder may be written by this
// process, else kAccessDenied or kFileNotFound.
uint32_t check_writable(const char *path);

// One read-modify-write of a root file. lock() creates the file's folders and
// the file if needed, takes an exclusive advisory lock on the file and reads
// it; replace() writes a new text beside it, makes it durable and renames it
// over the file; the destructor releases the lock. A root that cannot be
// written gives kAccessDenied from either.
class LockedRootFile {
 public:
  LockedRootFile() = default;
  ~LockedRootFile();
  LockedRootFile(const LockedRootFile &) = delete;
  LockedRootFile &operator=(const LockedRootFile &) = delete;

  uint32_t lock(const char *path);
  registry_text::Span text() const { return {text_.data(), text_.size()}; }
  uint32_t replace(const ByteBuffer &text);

 private:
  ByteBuffer path_;  // the file itself, symbolic links resolved
  ByteBuffer text_;
  int fd_ = -1;
  mode_t mode_ = 0;
};

}  // namespace lyrdua::platform
