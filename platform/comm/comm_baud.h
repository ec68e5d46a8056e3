#pragma once
// Any baud rate through the kernel's termios2 (kept apart: its header clashes with
// <termios.h>). The other line settings must already be in place.

#include <cstdint>

// 0 on success, else errno.
int SetBaudRate(int fd, uint32_t rate);
// The rate the driver runs at; 0 when it cannot tell.
uint32_t GetBaudRate(int fd);
