// POSIX face of the OS error helpers: errno and strerror.
#include "platform/os_error.h"

#include <cerrno>
#include <cstring>

namespace dorvik::platform {

std::string systemMessage(std::uint32_t code) { return std::strerror(static_cast<int>(code)); }

OsError osError(std::uint32_t code) { return OsError(code, systemMessage(code)); }

OsError lastOsError() { return osError(static_cast<std::uint32_t>(errno)); }

}  // namespace dorvik::platform
