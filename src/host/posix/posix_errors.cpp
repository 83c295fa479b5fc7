// errno to Win32 error codes.
#include "host/posix/posix_errors.h"

#include <cerrno>

namespace tp::host::posix {

uint32_t Win32ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return 0;
    case ENOENT:
      return 2;  // ERROR_FILE_NOT_FOUND
    case ENOTDIR:
      return 3;  // ERROR_PATH_NOT_FOUND
    case EACCES:
    case EPERM:
    case EROFS:
      return 5;  // ERROR_ACCESS_DENIED
    case EWOULDBLOCK:
      return 32;  // ERROR_SHARING_VIOLATION
    case EEXIST:
      return 183;  // ERROR_ALREADY_EXISTS
    case ENOSPC:
      return 112;  // ERROR_DISK_FULL
    case ENAMETOOLONG:
      return 206;  // ERROR_FILENAME_EXCED_RANGE
    case ENOTEMPTY:
      return 145;  // ERROR_DIR_NOT_EMPTY
    case ENOMEM:
      return 8;  // ERROR_NOT_ENOUGH_MEMORY
    default:
      return 31;  // ERROR_GEN_FAILURE
  }
}

}  // namespace tp::host::posix
