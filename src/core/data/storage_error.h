#pragma once
// Error numbers of the storage layer (keyed tables and text files) and their
// texts, as users see them in "%ErrorText".

#include <string>

namespace mvz {

namespace err {
constexpr int None = 0;
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int TooManyOpenFiles = 4;
constexpr int AccessDenied = 5;
constexpr int InsufficientMemory = 8;
constexpr int EntryNotFound = 30;
constexpr int FileLocked = 32;
constexpr int RecordNotAvailable = 33;
constexpr int RecordNotFound = 35;
constexpr int InvalidDataFile = 36;
constexpr int FileNotOpen = 37;
constexpr int InvalidKeyFile = 38;
constexpr int DuplicateKey = 40;
constexpr int RecordHeld = 43;
constexpr int InvalidFilename = 45;
constexpr int KeyFileMustBeRebuilt = 46;
constexpr int InvalidRecordDeclaration = 47;
constexpr int UnableToLogTransaction = 48;
constexpr int FileAlreadyOpen = 52;
constexpr int NoCreateAttribute = 54;
constexpr int FileMustBeShared = 55;
constexpr int LogoutAlreadyActive = 56;
constexpr int InvalidMemoFile = 57;
constexpr int ExclusiveAccessRequired = 63;
constexpr int SharingViolation = 64;
constexpr int UnableToRollback = 65;
constexpr int MemoFileMissing = 73;
constexpr int InvalidFieldType = 75;
constexpr int InvalidIndexString = 76;
constexpr int UnableToAccessIndex = 77;
constexpr int UnsupportedDataType = 79;
constexpr int UnsupportedDriverFunction = 80;
constexpr int UnknownError = 81;
constexpr int InvalidKeyLength = 88;
constexpr int RecordChanged = 89;
constexpr int FileSystemError = 90;
constexpr int LogoutNotActive = 91;
constexpr int BuildInProgress = 92;
constexpr int BuildCancelled = 93;
} // namespace err

// The text of a storage error number ("File Not Found" for 2); unknown
// numbers give "Unknown Error".
std::string storageErrorText(int code);

// The last error of one storage operation. For error 90 the operating-system
// error travels along: its number is the system's error number plus 300 and
// its text the system's own.
struct StorageError {
    int code = err::None;
    std::string text;        // storageErrorText(code), or a more precise text
    int osCode = 0;          // 0, or the operating-system error number + 300
    std::string osText;      // the operating system's text for osCode
    std::string detail;      // what exactly failed, for logs and the command line

    explicit operator bool() const { return code != err::None; }
    static StorageError of(int code, std::string detail = {});
    // A full disk (or a full quota) is error 90 whose text names the folder
    // of the file in `detail` ("PATH" or "PATH: what failed").
    static StorageError fromErrno(int errnoValue, std::string detail = {});
};

// The error's text followed by the operating system's in parentheses, when
// there is one: "File System Error (Disk full: no space left in /data/rad)".
std::string describeError(const StorageError& error);

// True for the errors of a full disk or a full quota.
bool isDiskFull(int errnoValue);

// The folder of a file's path ("." for a bare name).
std::string folderOfPath(const std::string& path);

// Why writing the file at `path` failed, for the messages of the runs: a full
// disk names the folder that has no room left ("disk je pun (u pretincu
// /data/rad nema mjesta)"), anything else is the system's own text.
std::string writeProblem(int errnoValue, const std::string& path);

} // namespace mvz
