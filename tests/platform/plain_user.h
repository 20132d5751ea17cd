#pragma once
// Tests of what a folder's permissions refuse: the suite often runs as root, which they do not
// stop, so the body runs in a child that has given up every capability.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace sayolt::test {

// The child's exit code: body's result, or 90..93 when the child could not run it to the end.
inline int asPlainUser(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[2] = {};
    if (::syscall(SYS_capset, &header, none) != 0) ::_exit(90);
    int code = 91;
    try {
      code = body();
    } catch (...) {
      code = 92;
    }
    ::_exit(code);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 93;
}

}  // namespace sayolt::test
