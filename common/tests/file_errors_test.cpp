#include "common/file_errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace common {
namespace {

TEST(FileErrorCauseTest, MapsErrnoToCause) {
    const struct {
        int errnum;
        FileErrorCode expected;
    } cases[] = {
        {0, FileErrorCode::none},
        {ENOENT, FileErrorCode::fileNotFound},
        {ENOTDIR, FileErrorCode::badPath},
        {EMFILE, FileErrorCode::tooManyOpenFiles},
        {ENFILE, FileErrorCode::tooManyOpenFiles},
        {EACCES, FileErrorCode::accessDenied},
        {EPERM, FileErrorCode::accessDenied},
        {EROFS, FileErrorCode::accessDenied},
        {EBADF, FileErrorCode::invalidFile},
        {EIO, FileErrorCode::hardIO},
        {EAGAIN, FileErrorCode::sharingViolation},
        {EWOULDBLOCK, FileErrorCode::sharingViolation},
        {ENOSPC, FileErrorCode::diskFull},
        {EDQUOT, FileErrorCode::diskFull},
        {EFBIG, FileErrorCode::diskFull},
        {EINVAL, FileErrorCode::generic},
        {ENAMETOOLONG, FileErrorCode::generic},
        {-1, FileErrorCode::generic},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileErrorCause(c.errnum), static_cast<int>(c.expected))
            << "errno " << c.errnum << " (" << std::strerror(c.errnum) << ")";
    }
}

}  // namespace
}  // namespace common
