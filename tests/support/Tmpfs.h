#pragma once
// A small tmpfs mounted on a fresh folder, for the cases of a full disk.
// Mounting needs root; a test skips when it cannot mount.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef __linux__
#include <sys/mount.h>
#include <unistd.h>
#endif

class TTmpfs {
public:
  // size: in kilobytes.
  explicit TTmpfs(int sizeKb) {
#ifdef __linux__
    char pattern[] = "/tmp/quillora-tmpfs-XXXXXX";
    if (!mkdtemp(pattern)) return;
    dir_ = pattern;
    if (geteuid() != 0) {
      why_ = "not root: a tmpfs cannot be mounted";
      return;
    }
    const std::string options = "size=" + std::to_string(sizeKb) + "k";
    if (mount("tmpfs", dir_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      why_ = std::string("mount of a tmpfs failed: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
#else
    (void)sizeKb;
    why_ = "tmpfs needs Linux";
#endif
  }
  ~TTmpfs() {
#ifdef __linux__
    if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
    if (!dir_.empty()) rmdir(dir_.c_str());
#endif
  }
  bool Mounted() const { return mounted_; }
  const std::string& WhyNot() const { return why_; }
  // The mount point, without a trailing separator.
  const std::string& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // Writes name until the disk is full; the bytes written.
  long Fill(const std::string& name) const {
    std::FILE* f = std::fopen(Path(name).c_str(), "wb");
    if (!f) return 0;
    static const char block[4096] = {};
    long total = 0;
    std::size_t n;
    while ((n = std::fwrite(block, 1, sizeof block, f)) == sizeof block) total += long(n);
    total += long(n);
    std::fclose(f);
    return total;
  }

private:
  std::string dir_;
  std::string why_;
  bool mounted_ = false;
};

// Skips the test when the tmpfs could not be mounted.
#define REQUIRE_TMPFS(fs) \
  if (!(fs).Mounted()) GTEST_SKIP() << "full-disk case skipped: " << (fs).WhyNot()
