// The descriptor-level calls behind the stdout capture, with a POSIX and a Windows branch.
#pragma once

#include <cstddef>

namespace runtime_impl::stdio_fd {

inline constexpr int kStdout = 1;

bool isOpen(int fd);
// A copy of `fd` that child processes do not inherit; -1 on failure.
int duplicate(int fd);
// Makes `target` refer to what `source` refers to.
bool replace(int source, int target);
// Makes `target` refer to the null device.
bool nullify(int target);
// fds[0] reads, fds[1] writes; child processes inherit neither.
bool makePipe(int fds[2]);
// Bytes read or written, 0 at the end of input, negative on failure; interrupted calls are
// retried.
long readSome(int fd, char* buffer, std::size_t size);
long writeSome(int fd, const char* data, std::size_t size);
void closeFd(int fd);
// Writing to a pipe whose reader has gone fails from now on instead of ending the process.
void ignoreBrokenPipe();

}  // namespace runtime_impl::stdio_fd
