#include "data/storage_error.h"

#include <cerrno>
#include <cstring>

namespace mvz {

std::string storageErrorText(int code) {
    switch (code) {
    case 0: return "";
    case 2: return "File Not Found";
    case 3: return "Path Not Found";
    case 4: return "Too Many Open Files";
    case 5: return "Access Denied";
    case 8: return "Insufficient Memory";
    case 30: return "Entry Not Found";
    case 32: return "File Is Already Locked";
    case 33: return "Record Not Available";
    case 35: return "Record Not Found";
    case 36: return "Invalid Data File";
    case 37: return "File Not Open";
    case 38: return "Invalid Key File";
    case 40: return "Creates Duplicate Key";
    case 43: return "Record Is Already Held";
    case 45: return "Invalid Filename";
    case 46: return "Key File Must Be Rebuilt";
    case 47: return "Invalid Record Declaration";
    case 48: return "Unable To Log Transaction";
    case 52: return "File Already Open";
    case 54: return "No Create Attribute";
    case 55: return "File Must Be Shared";
    case 56: return "LOGOUT Already Active";
    case 57: return "Invalid Memo File";
    case 63: return "Exclusive Access Required";
    case 64: return "Sharing Violation";
    case 65: return "Unable To ROLLBACK Transaction";
    case 73: return "Memo File Missing";
    case 75: return "Invalid Field Type Descriptor";
    case 76: return "Invalid Index String";
    case 77: return "Unable To Access Index";
    case 79: return "Unsupported Data Type In File";
    case 80: return "Unsupported File Driver Function";
    case 81: return "Unknown Error Posted";
    case 88: return "Invalid Key Length";
    case 89: return "Record Changed By Another Station";
    case 90: return "File System Error";
    case 91: return "LOGOUT Not Active";
    case 92: return "BUILD In Progress";
    case 93: return "BUILD Cancelled";
    default: return "Unknown Error";
    }
}

StorageError StorageError::of(int code, std::string detail) {
    StorageError e;
    e.code = code;
    e.text = storageErrorText(code);
    e.detail = std::move(detail);
    return e;
}

StorageError StorageError::fromErrno(int errnoValue, std::string detail) {
    // The errors the runtime knows by number keep their number; every other
    // operating-system failure is error 90 carrying the system's own text.
    switch (errnoValue) {
    case ENOENT: return of(err::FileNotFound, std::move(detail));
    case ENOTDIR: return of(err::PathNotFound, std::move(detail));
    case EMFILE:
    case ENFILE: return of(err::TooManyOpenFiles, std::move(detail));
    case EACCES:
    case EPERM:
    case EROFS: return of(err::AccessDenied, std::move(detail));
    case ENOMEM: return of(err::InsufficientMemory, std::move(detail));
    case ENAMETOOLONG: return of(err::InvalidFilename, std::move(detail));
    default: break;
    }
    StorageError e = of(err::FileSystemError, std::move(detail));
    e.osCode = errnoValue + 300;
    if (isDiskFull(errnoValue)) {
        // The detail starts with the path of the file written.
        const std::string& d = e.detail;
        const std::size_t colon = d.find(": ");
        const std::string path = d.substr(0, colon);
        e.osText = path.empty() ? "Disk full" : "Disk full: no space left in " + folderOfPath(path);
    } else {
        e.osText = std::strerror(errnoValue);
    }
    return e;
}

std::string describeError(const StorageError& error) {
    std::string out = error.text.empty() ? storageErrorText(error.code) : error.text;
    if (!error.osText.empty()) out += " (" + error.osText + ")";
    return out;
}

bool isDiskFull(int errnoValue) {
    return errnoValue == ENOSPC || errnoValue == EDQUOT;
}

std::string folderOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string writeProblem(int errnoValue, const std::string& path) {
    if (isDiskFull(errnoValue))
        return "disk je pun (u pretincu " + folderOfPath(path) + " nema mjesta)";
    return std::strerror(errnoValue != 0 ? errnoValue : EIO);
}

} // namespace mvz
