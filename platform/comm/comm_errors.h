#pragma once
// Error numbers of the serial layer in the Windows code space the dispatcher reasons in,
// mapped from errno, with the system texts for the numbers this layer produces.

#include <cstdint>
#include <string>

constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_INVALID_FUNCTION = 1;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
constexpr uint32_t ERROR_ACCESS_DENIED = 5;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr uint32_t ERROR_GEN_FAILURE = 31;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_OPERATION_ABORTED = 995;
constexpr uint32_t ERROR_IO_PENDING = 997;
constexpr uint32_t ERROR_DEVICE_NOT_CONNECTED = 1167;

// Where the errno came from: a failed lock means another program holds the port.
enum class CommCall { Open, Lock, Io };

// ENOENT/ENODEV/ENXIO: 2; EACCES/EPERM/EBUSY, and a refused lock: 5; EIO and a hang-up:
// 1167 (a device error, never "access denied"); EINVAL: 87; ENOMEM: 8; else 31.
uint32_t WinErrorFromErrno(int err, CommCall call);

// The system's message for a Windows error number this layer produces; empty for others.
std::string SystemErrorText(uint32_t code);
