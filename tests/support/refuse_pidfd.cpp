// refuse-pidfd COMMAND [ARG...]: runs COMMAND with the calls pidfd_open and pidfd_getfd
// refused (EPERM) for it and every process it starts, as a container's default seccomp
// profile, Yama's ptrace_scope 2 or 3, or an older kernel refuse a process the descriptors of
// another. The test command runs the tests under it, so that none comes to rely on them.

#include <errno.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#ifndef __NR_pidfd_open
#define __NR_pidfd_open 434
#endif
#ifndef __NR_pidfd_getfd
#define __NR_pidfd_getfd 438
#endif

#if defined(__x86_64__)
#define TOVAK_AUDIT_ARCH AUDIT_ARCH_X86_64
#elif defined(__i386__)
#define TOVAK_AUDIT_ARCH AUDIT_ARCH_I386
#elif defined(__aarch64__)
#define TOVAK_AUDIT_ARCH AUDIT_ARCH_AARCH64
#elif defined(__arm__)
#define TOVAK_AUDIT_ARCH AUDIT_ARCH_ARM
#elif defined(__riscv) && __riscv_xlen == 64
#define TOVAK_AUDIT_ARCH AUDIT_ARCH_RISCV64
#elif defined(__powerpc64__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define TOVAK_AUDIT_ARCH AUDIT_ARCH_PPC64LE
#elif defined(__s390x__)
#define TOVAK_AUDIT_ARCH AUDIT_ARCH_S390X
#else
#error "refuse-pidfd: the audit architecture of this processor is not named here"
#endif

namespace {

constexpr unsigned kRefused = SECCOMP_RET_ERRNO | (EPERM & SECCOMP_RET_DATA);

// The numbers of the calls are those of this program's architecture: a call made through
// another (a 32-bit call on a 64-bit kernel) ends the process rather than pass unchecked.
sock_filter kFilter[] = {
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, TOVAK_AUDIT_ARCH, 1, 0),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
#if defined(__x86_64__)
    // The x32 calls share the architecture and carry a bit of their own in the number: each
    // is refused (nothing here makes them).
    BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 0x40000000u, 2, 0),
#else
    BPF_JUMP(BPF_JMP | BPF_JA | BPF_K, 0, 0, 0),
#endif
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pidfd_open, 1, 0),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pidfd_getfd, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, kRefused),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: refuse-pidfd COMMAND [ARG...]\n");
        return 2;
    }
    sock_fprog program{static_cast<unsigned short>(sizeof kFilter / sizeof kFilter[0]), kFilter};
    // Without privileges a filter may be installed only by a process that can gain none.
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        std::fprintf(stderr, "refuse-pidfd: cannot install the filter: %s\n", std::strerror(errno));
        return 126;
    }
    // The filter is seen to hold, or a run under it would prove nothing.
    if (syscall(__NR_pidfd_open, getpid(), 0) != -1 || errno != EPERM || syscall(__NR_pidfd_getfd, -1, 0, 0) != -1 ||
        errno != EPERM) {
        std::fprintf(stderr, "refuse-pidfd: the filter lets the calls through\n");
        return 126;
    }
    execvp(argv[1], argv + 1);
    std::fprintf(stderr, "refuse-pidfd: %s: %s\n", argv[1], std::strerror(errno));
    return 127;
}
