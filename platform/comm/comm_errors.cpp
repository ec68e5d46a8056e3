#include "platform/comm/comm_errors.h"

#include <cerrno>

uint32_t WinErrorFromErrno(int err, CommCall call) {
    switch (err) {
        case 0: return ERROR_SUCCESS;
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR: return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EBUSY: return ERROR_ACCESS_DENIED;
        case EWOULDBLOCK: return call == CommCall::Lock ? ERROR_ACCESS_DENIED : ERROR_GEN_FAILURE;
        case EIO:
        case ENOTCONN: return ERROR_DEVICE_NOT_CONNECTED;
        case EBADF: return ERROR_INVALID_HANDLE;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case ENOTTY: return call == CommCall::Open ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_FUNCTION;
        default: return ERROR_GEN_FAILURE;
    }
}

std::string SystemErrorText(uint32_t code) {
    switch (code) {
        case ERROR_SUCCESS: return "The operation completed successfully.";
        case ERROR_INVALID_FUNCTION: return "Incorrect function.";
        case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
        case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
        case ERROR_ACCESS_DENIED: return "Access is denied.";
        case ERROR_INVALID_HANDLE: return "The handle is invalid.";
        case ERROR_NOT_ENOUGH_MEMORY: return "Not enough storage is available to process this command.";
        case ERROR_GEN_FAILURE: return "A device attached to the system is not functioning.";
        case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
        case ERROR_OPERATION_ABORTED:
            return "The I/O operation has been aborted because of either a thread exit or an application request.";
        case ERROR_IO_PENDING: return "Overlapped I/O operation is in progress.";
        case ERROR_DEVICE_NOT_CONNECTED: return "The device is not connected.";
        default: return {};
    }
}
