#include "platform/comm/comm_baud.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

int SetBaudRate(int fd, uint32_t rate) {
    if (rate == 0) return EINVAL;
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return errno;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ospeed = rate;
    t.c_ispeed = rate;
    if (ioctl(fd, TCSETS2, &t) != 0) return errno;
    return 0;
}

uint32_t GetBaudRate(int fd) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return 0;
    return t.c_ospeed;
}
