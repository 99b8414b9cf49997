#include "netport/boundedfileos.h"

#include <windows.h>

#include "netport/boundedfile.h"

namespace {

QString LastError() { return qt_error_string(int(::GetLastError())); }

// A folder opens only with backup semantics; a pipe or a device (NUL,
// COM1, \\.\pipe\...) opens at once and says what it is.
QString KindOf(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    switch (::GetFileType(file)) {
    case FILE_TYPE_PIPE: return QStringLiteral("it is a named pipe, not a file");
    case FILE_TYPE_CHAR: return QStringLiteral("it is a device, not a file");
    case FILE_TYPE_DISK: break;
    default: return QStringLiteral("it is not a regular file");
    }
    if (::GetFileInformationByHandle(file, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return QStringLiteral("it is a folder");
    return QString();
}

} // namespace

// A file's access list, not mode bits, says who else may read it there; the
// data folder under the user's profile is the user's own.
qintptr OpenCheckedFile(const QString& path, const char* what, OthersMayRead, QString& problem)
{
    const std::wstring name = path.toStdWString();
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        problem = CannotReadNamedFile(path, what, LastError());
        return -1;
    }
    LARGE_INTEGER size{};
    if (const QString kind = KindOf(file); !kind.isEmpty())
        problem = CannotReadNamedFile(path, what, kind);
    else if (!::GetFileSizeEx(file, &size))
        problem = CannotReadNamedFile(path, what, LastError());
    else if (size.QuadPart > kLargestNamedFile)
        problem = NamedFileTooLarge(path, what);
    if (problem.isEmpty())
        return reinterpret_cast<qintptr>(file);
    ::CloseHandle(file);
    return -1;
}

qint64 ReadCheckedFile(qintptr file, char* into, qint64 size, QString& why)
{
    DWORD got = 0;
    if (::ReadFile(reinterpret_cast<HANDLE>(file), into, DWORD(size), &got, nullptr))
        return qint64(got);
    why = LastError();
    return -1;
}

void CloseCheckedFile(qintptr file) { ::CloseHandle(reinterpret_cast<HANDLE>(file)); }
