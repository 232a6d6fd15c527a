// Whole-file reads and crash-safe replacement.
#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace vcl_detail {

namespace {

class TFd {
 public:
  explicit TFd(int Fd) : FFd(Fd) {}
  ~TFd() {
    if (FFd >= 0) ::close(FFd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }
  // Closes now; false when close reports a failure (a delayed write error).
  bool Close() {
    int fd = FFd;
    FFd = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int FFd;
};

bool WriteAll(int Fd, const String& Text) {
  const char* p = Text.data();
  size_t left = Text.size();
  while (left > 0) {
    ssize_t n = ::write(Fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// The file the name stands for: a symlink is followed, so that the link
// itself stays and its target gets the new content.
String ResolveTarget(const String& FullName) {
  struct stat lst;
  if (::lstat(FullName.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return FullName;
  char* real = ::realpath(FullName.c_str(), nullptr);
  if (!real) return FullName;
  String r(real);
  std::free(real);
  return r;
}

}  // namespace

bool ReadWholeFile(const String& FileName, String& Text) {
  const String full = ExpandFileName(FileName);
  TFd fd(::open(full.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return false;
    throw EFOpenError("Cannot open file " + full);
  }
  Text.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.Get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EFOpenError("Cannot open file " + full);
    }
    if (n == 0) break;
    Text.append(buf, static_cast<size_t>(n));
  }
  return true;
}

void ReplaceFile(const String& FileName, const String& Text) {
  const String full = ExpandFileName(FileName);
  const String target = ResolveTarget(full);
  auto fail = [&full]() { throw EFCreateError("Cannot create file " + full); };

  struct stat old;
  bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) {
    // Root may write anything, so the permission bits are checked here: a
    // file that nobody may write is read-only for us too.
    if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) fail();
  }

  const String dir = ExtractFilePath(target);
  const String base = ExtractFileName(target);
  std::random_device rd;
  String temp;
  int fdNum = -1;
  for (int attempt = 0; attempt < 100 && fdNum < 0; ++attempt) {
    temp = dir + "." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(rd() % 1000000u);
    // 0666 less the umask, as for any new file; an old file's mode follows.
    fdNum = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fdNum < 0 && errno != EEXIST) break;
  }
  if (fdNum < 0) fail();
  TFd fd(fdNum);
  bool ok = true;
  if (exists) {
    ok = ::fchmod(fd.Get(), old.st_mode & 07777) == 0;
    // Keeping the owner only works for root; a failure there is harmless.
    if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
      (void)!::fchown(fd.Get(), old.st_uid, old.st_gid);
  }
  ok = ok && WriteAll(fd.Get(), Text) && ::fsync(fd.Get()) == 0;
  ok = fd.Close() && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    fail();
  }
  // Makes the rename itself durable; the data is safe either way.
  TFd dirFd(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dirFd.Get() >= 0) (void)::fsync(dirFd.Get());
}

}  // namespace vcl_detail
