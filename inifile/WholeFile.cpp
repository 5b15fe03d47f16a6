#include "WholeFile.h"
#include "WidePath.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Distinguishes the temporaries of several saves within one process.
unsigned g_tempCounter = 0;

}  // namespace

#ifdef _WIN32

namespace {

std::string SystemError(const char* what, DWORD code) {
  return std::string(what) + " failed (system error " + std::to_string(code) + ")";
}

}  // namespace

TReadStatus ReadWholeFile(const std::string& path, std::string& contents, std::string& detail) {
  contents.clear();
  std::wstring wpath;
  if (!WideFromUtf8(path, wpath)) {
    detail = "the file name is empty or not valid UTF-8";
    return TReadStatus::Failed;
  }
  HANDLE h = CreateFileW(wpath.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return TReadStatus::Missing;
    detail = SystemError("opening the file", e);
    return TReadStatus::Failed;
  }
  TReadStatus status = TReadStatus::Ok;
  LARGE_INTEGER size;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    detail = "the name is not that of a regular file";
    status = TReadStatus::Failed;
  } else if (!GetFileSizeEx(h, &size) ||
             static_cast<unsigned long long>(size.QuadPart) > MaxWholeFileBytes) {
    detail = "the file is too large";
    status = TReadStatus::Failed;
  }
  char buf[65536];
  while (status == TReadStatus::Ok) {
    DWORD got = 0;
    if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
      detail = SystemError("reading the file", GetLastError());
      status = TReadStatus::Failed;
      break;
    }
    if (got == 0) break;
    contents.append(buf, got);
    if (contents.size() > MaxWholeFileBytes) {
      detail = "the file is too large";
      status = TReadStatus::Failed;
    }
  }
  CloseHandle(h);
  if (status != TReadStatus::Ok) contents.clear();
  return status;
}

bool ReplaceWholeFile(const std::string& path, const std::string& contents, std::string& detail) {
  std::wstring target;
  if (!WideFromUtf8(path, target)) {
    detail = "the file name is empty or not valid UTF-8";
    return false;
  }
  const DWORD attrs = GetFileAttributesW(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    detail = "the name is that of a folder";
    return false;
  }
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) {
    detail = "the file is read-only";
    return false;
  }
  std::wstring temp;
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
    temp = target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(++g_tempCounter);
    h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (h == INVALID_HANDLE_VALUE) {
    detail = SystemError("creating the temporary file", GetLastError());
    return false;
  }
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < contents.size()) {
    const DWORD chunk = static_cast<DWORD>(
        contents.size() - done > 0x10000000 ? 0x10000000 : contents.size() - done);
    DWORD written = 0;
    if (!WriteFile(h, contents.data() + done, chunk, &written, nullptr) || written == 0) {
      detail = SystemError("writing the temporary file", GetLastError());
      ok = false;
    }
    done += written;
  }
  if (ok && !FlushFileBuffers(h)) {
    detail = SystemError("flushing the temporary file", GetLastError());
    ok = false;
  }
  if (!CloseHandle(h) && ok) {
    detail = SystemError("closing the temporary file", GetLastError());
    ok = false;
  }
  if (ok && !MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    detail = SystemError("renaming the temporary file over the target", GetLastError());
    ok = false;
  }
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

#else  // POSIX

namespace {

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

TReadStatus ReadWholeFile(const std::string& path, std::string& contents, std::string& detail) {
  contents.clear();
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return TReadStatus::Missing;
    detail = Errno("opening the file");
    return TReadStatus::Failed;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    detail = Errno("examining the file");
    close(fd);
    return TReadStatus::Failed;
  }
  if (S_ISDIR(st.st_mode)) {
    detail = "the name is that of a folder";
    close(fd);
    return TReadStatus::Failed;
  }
  if (!S_ISREG(st.st_mode)) {
    detail = "the name is not that of a regular file";
    close(fd);
    return TReadStatus::Failed;
  }
  if (static_cast<unsigned long long>(st.st_size) > MaxWholeFileBytes) {
    detail = "the file is too large";
    close(fd);
    return TReadStatus::Failed;
  }
  TReadStatus status = TReadStatus::Ok;
  char buf[65536];
  while (contents.size() <= MaxWholeFileBytes) {
    const ssize_t got = read(fd, buf, sizeof buf);
    if (got < 0) {
      if (errno == EINTR) continue;
      detail = Errno("reading the file");
      status = TReadStatus::Failed;
      break;
    }
    if (got == 0) break;
    contents.append(buf, static_cast<std::size_t>(got));
  }
  close(fd);
  if (status == TReadStatus::Ok && contents.size() > MaxWholeFileBytes) {
    detail = "the file is too large";
    status = TReadStatus::Failed;
  }
  if (status != TReadStatus::Ok) contents.clear();
  return status;
}

bool ReplaceWholeFile(const std::string& path, const std::string& contents, std::string& detail) {
  std::string target = path;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    detail = "the name is that of a folder";
    return false;
  }
  // Root may write anything; a file without any write permission is read-only
  // all the same.
  if (exists && ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) {
    detail = "the file is read-only";
    return false;
  }

  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".tmp" + std::to_string(getpid()) + "." + std::to_string(++g_tempCounter);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    detail = Errno("creating the temporary file");
    return false;
  }
  if (exists) fchmod(fd, st.st_mode & 07777);  // best effort: keep the old file's permissions

  bool ok = true;
  std::size_t done = 0;
  while (ok && done < contents.size()) {
    const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      detail = Errno("writing the temporary file");
      ok = false;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  if (ok && fsync(fd) != 0) {
    detail = Errno("flushing the temporary file");
    ok = false;
  }
  if (close(fd) != 0 && ok) {
    detail = Errno("closing the temporary file");
    ok = false;
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    detail = Errno("renaming the temporary file over the target");
    ok = false;
  }
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable (best effort).
  const std::string::size_type slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

#endif
