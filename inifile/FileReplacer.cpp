#include "FileReplacer.h"
#include "WidePath.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

namespace {

// Distinguishes the temporaries of several replacements within one process.
unsigned g_tempCounter = 0;

}  // namespace

TFileReplacer::~TFileReplacer() { Cancel(); }

bool TFileReplacer::Fail(const std::string& detail) {
  if (!failed_) detail_ = detail;
  failed_ = true;
  return false;
}

#ifdef _WIN32

namespace {

std::string SystemError(const char* what, DWORD code) {
  return std::string(what) + " failed (system error " + std::to_string(code) + ")";
}

HANDLE Handle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

std::wstring Wide(const std::string& utf8) {
  std::wstring wide;
  WideFromUtf8(utf8, wide);
  return wide;
}

}  // namespace

bool TFileReplacer::Open(const std::string& path) {
  Cancel();
  failed_ = false;
  detail_.clear();
  std::wstring target;
  if (!WideFromUtf8(path, target)) return Fail("the file name is empty or not valid UTF-8");
  const DWORD attrs = GetFileAttributesW(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
    return Fail("the name is that of a folder");
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
    return Fail("the file is read-only");
  HANDLE h = INVALID_HANDLE_VALUE;
  std::wstring temp;
  for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
    temp = target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(++g_tempCounter);
    h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (h == INVALID_HANDLE_VALUE)
    return Fail(SystemError("creating the temporary file", GetLastError()));
  target_ = path;
  temp_ = Utf8FromWide(temp);
  file_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

bool TFileReplacer::Write(const char* data, std::size_t size) {
  if (failed_) return false;
  if (file_ == -1) return Fail("the file is not open");
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(size > 0x10000000 ? 0x10000000 : size);
    DWORD written = 0;
    if (!WriteFile(Handle(file_), data, chunk, &written, nullptr) || written == 0)
      return Fail(SystemError("writing the temporary file", GetLastError()));
    data += written;
    size -= written;
  }
  return true;
}

void TFileReplacer::CloseTemporary() {
  if (file_ == -1) return;
  if (!CloseHandle(Handle(file_))) Fail(SystemError("closing the temporary file", GetLastError()));
  file_ = -1;
}

bool TFileReplacer::Commit() {
  if (file_ == -1 && !failed_) Fail("the file is not open");
  if (!failed_ && !FlushFileBuffers(Handle(file_)))
    Fail(SystemError("flushing the temporary file", GetLastError()));
  CloseTemporary();
  if (!failed_ && !MoveFileExW(Wide(temp_).c_str(), Wide(target_).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail(SystemError("renaming the temporary file over the target", GetLastError()));
  if (failed_) {
    Cancel();
    return false;
  }
  temp_.clear();
  return true;
}

void TFileReplacer::Cancel() {
  if (file_ != -1) CloseHandle(Handle(file_));
  file_ = -1;
  if (!temp_.empty()) DeleteFileW(Wide(temp_).c_str());
  temp_.clear();
}

#else  // POSIX

namespace {

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

bool TFileReplacer::Open(const std::string& path) {
  Cancel();
  failed_ = false;
  detail_.clear();
  std::string target = path;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return Fail("the name is that of a folder");
  // Root may write anything; a file without any write permission is read-only
  // all the same.
  if (exists && ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0))
    return Fail("the file is read-only");

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".tmp" + std::to_string(getpid()) + "." + std::to_string(++g_tempCounter);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Fail(Errno("creating the temporary file"));
  if (exists) fchmod(fd, st.st_mode & 07777);  // best effort: keep the old file's permissions
  target_ = target;
  temp_ = temp;
  file_ = fd;
  return true;
}

bool TFileReplacer::Write(const char* data, std::size_t size) {
  if (failed_) return false;
  if (file_ == -1) return Fail("the file is not open");
  while (size > 0) {
    const ssize_t n = write(static_cast<int>(file_), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(Errno("writing the temporary file"));
    if (n == 0) return Fail("writing the temporary file: no byte was taken");
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void TFileReplacer::CloseTemporary() {
  if (file_ == -1) return;
  if (close(static_cast<int>(file_)) != 0) Fail(Errno("closing the temporary file"));
  file_ = -1;
}

bool TFileReplacer::Commit() {
  if (file_ == -1 && !failed_) Fail("the file is not open");
  if (!failed_ && fsync(static_cast<int>(file_)) != 0) Fail(Errno("flushing the temporary file"));
  CloseTemporary();
  if (!failed_ && rename(temp_.c_str(), target_.c_str()) != 0)
    Fail(Errno("renaming the temporary file over the target"));
  if (failed_) {
    Cancel();
    return false;
  }
  temp_.clear();
  // Make the rename itself durable (best effort).
  const std::string::size_type slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
  const int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

void TFileReplacer::Cancel() {
  if (file_ != -1) close(static_cast<int>(file_));
  file_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

#endif
