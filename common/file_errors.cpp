#include "common/file_errors.h"

#include <cerrno>

namespace common {

int FileErrorCause(int errnum) {
    FileErrorCode code = FileErrorCode::generic;
    switch (errnum) {
        case 0:
            code = FileErrorCode::none;
            break;
        case ENOENT:
            code = FileErrorCode::fileNotFound;
            break;
        case ENOTDIR:
            code = FileErrorCode::badPath;
            break;
        case EMFILE:
        case ENFILE:
            code = FileErrorCode::tooManyOpenFiles;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            code = FileErrorCode::accessDenied;
            break;
        case EBADF:
            code = FileErrorCode::invalidFile;
            break;
        case EIO:
            code = FileErrorCode::hardIO;
            break;
        // A lock held by another process.
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            code = FileErrorCode::sharingViolation;
            break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            code = FileErrorCode::diskFull;
            break;
        default:
            break;
    }
    return static_cast<int>(code);
}

}  // namespace common
