#pragma once
// Files as every reader and writer of the program opens them: readers take regular files only,
// without waiting on a pipe; writers replace a file only once its new content is safely on disk.

#include <cstddef>
#include <string>

namespace qm {

inline constexpr const char* NotARegularFile = "it is not a regular file";

// Opens a regular file for reading, without blocking on a FIFO. The descriptor, or -1 with the
// reason in `reason` (NotARegularFile for a folder, device or pipe).
int openRegularFileForReading(const std::string& path, std::string& reason);

// Reads until `size` bytes or the end of the file; the bytes read (fewer on an error).
std::size_t readUpTo(int fd, void* data, std::size_t size);

// Writes `size` bytes as the whole content of the file `path` names. A symbolic link is followed
// and its target replaced; a replaced file keeps its permission bits; a name that is neither a
// regular file nor a new one (a device, pipe or folder) is refused and nothing changes. The
// content goes to a temporary file next to the target, is flushed to disk and renamed over it,
// so a failed write leaves the old file as it was and no partial file. Empty on success, else
// the reason.
std::string replaceFileContent(const std::string& path, const void* data, std::size_t size);

}  // namespace qm
