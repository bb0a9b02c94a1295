#include "stdio_fd.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace runtime_impl::stdio_fd {

#ifdef _WIN32

bool isOpen(int fd) { return _get_osfhandle(fd) != -1; }

int duplicate(int fd) { return _dup(fd); }

bool replace(int source, int target) { return _dup2(source, target) == 0; }

bool nullify(int target) {
  const int null = _open("NUL", _O_WRONLY | _O_NOINHERIT);
  if (null < 0) return false;
  const bool done = null == target || replace(null, target);
  if (null != target) _close(null);
  return done;
}

bool makePipe(int fds[2]) { return _pipe(fds, 65536, _O_BINARY | _O_NOINHERIT) == 0; }

long readSome(int fd, char* buffer, std::size_t size) { return _read(fd, buffer, unsigned(size)); }

long writeSome(int fd, const char* data, std::size_t size) { return _write(fd, data, unsigned(size)); }

void closeFd(int fd) { _close(fd); }

void ignoreBrokenPipe() {}  // Windows raises no signal for it

#else

bool isOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }

int duplicate(int fd) { return fcntl(fd, F_DUPFD_CLOEXEC, 3); }

bool replace(int source, int target) { return dup2(source, target) == target; }

bool nullify(int target) {
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null < 0) return false;
  const bool done = null == target ? fcntl(target, F_SETFD, 0) == 0 : replace(null, target);
  if (null != target) close(null);
  return done;
}

bool makePipe(int fds[2]) { return pipe2(fds, O_CLOEXEC) == 0; }

long readSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return long(n);
  }
}

long writeSome(int fd, const char* data, std::size_t size) {
  for (;;) {
    const ssize_t n = write(fd, data, size);
    if (n >= 0 || errno != EINTR) return long(n);
  }
}

void closeFd(int fd) { close(fd); }

void ignoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

#endif

}  // namespace runtime_impl::stdio_fd
