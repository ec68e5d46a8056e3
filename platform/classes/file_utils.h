#pragma once
// File-name and file-system helpers of the class library, with "/" as the separator.

#include <string>
#include <string_view>

// A file that is not a directory.
bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Directory);
// Creates the folder and every missing parent; answers whether it exists afterwards.
// An empty name raises EInOutError "Unable to create directory".
bool ForceDirectories(const std::string& Dir);
bool DeleteFile(const std::string& FileName);
bool RenameFile(const std::string& OldName, const std::string& NewName);

// "a/b/c.txt": ExtractFilePath "a/b/", ExtractFileName "c.txt", ExtractFileExt ".txt".
std::string ExtractFilePath(std::string_view FileName);
std::string ExtractFileDir(std::string_view FileName);
std::string ExtractFileName(std::string_view FileName);
std::string ExtractFileExt(std::string_view FileName);
// Extension may be empty (removes the extension) and includes its dot.
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
std::string IncludeTrailingPathDelimiter(std::string_view Path);
std::string ExcludeTrailingPathDelimiter(std::string_view Path);

// The path of the entry `Name` in `Folder`: an exact match first, otherwise the first (in
// byte order) whose name equals `Name` ignoring case, letters like ä included. Empty when
// there is none. Files from Windows installations come with any mix of cases.
std::string FindFileCaseInsensitive(const std::string& Folder, const std::string& Name);

// A file its owner made read-only (no write bit for the owner: for every user, root too, as
// the read-only attribute is on Windows), or one this user may not write. Not for a missing file.
bool IsReadOnlyFile(const std::string& FileName);

// The whole file as bytes. Raises EFOpenError when it cannot be read.
std::string ReadFileBytes(const std::string& FileName);
// Replaces the file's content through a temporary file in the same folder and a rename, so a
// crash or a full disk leaves either the old or the new content, never a mix. A symbolic
// link is followed and its target replaced; an existing file keeps its permissions. The rename
// would replace a read-only file that a write in place could not change: that is refused.
// Raises EFCreateError when the file cannot be written.
void WriteFileAtomic(const std::string& FileName, std::string_view Bytes);
