#pragma once

namespace common {

// Why a file operation failed, as reported to users and stored in logs.
enum class FileErrorCode : int {
    none = 0,
    generic = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeDisk = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
};

// The FileErrorCode (as an int) for an errno value; generic for anything unrecognised.
int FileErrorCause(int errnum);

}  // namespace common
