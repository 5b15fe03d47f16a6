#include "WholeFile.h"
#include "FileReplacer.h"
#include "WidePath.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#endif

bool ReplaceWholeFile(const std::string& path, const std::string& contents, std::string& detail) {
  TFileReplacer file;
  if (file.Open(path) && file.Write(contents) && file.Commit()) return true;
  detail = file.Detail();
  return false;
}
