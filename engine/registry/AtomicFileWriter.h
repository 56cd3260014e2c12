// Tarv::AtomicFileWriter: replaces a file's whole content so that a crash, a kill or a full
// disk part-way leaves either the old file or the new one, never a truncated mix.
#pragma once

#include "engine/core/NarrowString.h"

#include <cstddef>
#include <sys/types.h>

namespace Tarv
{

class AtomicFileWriter
{
public:
    // The low-level write the writer calls; it has write(2)'s contract.
    using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);

    // The host file that a write to the virtual path lands on, found the way the virtual file
    // system searches its mounts (save mounts resolve into the user's save directory). Empty
    // when the path doesn't reach a host directory.
    static NarrowString GetHostPath(const char* virtualPath);
    // Why a write to the virtual path has no host file although it reaches a save mount (there
    // is no save folder, MaemoGameSaveFile::NO_SAVE_FOLDER); "" otherwise.
    static NarrowString GetMissingFolderReason(const char* virtualPath);

    // Writes bytes to a temporary file of its own beside hostPath (making missing directories),
    // flushes it to the disk, then renames it over hostPath; saves running at once, in this
    // process or another, each put one whole file in place and the last rename wins. When
    // hostPath is a symbolic link (or a chain of them) the save goes through it: the temporary
    // file is made beside the link's final target and renamed over that, and the link stays.
    // Temporary files of earlier saves of the same file whose process no longer runs (killed
    // part-way) are removed first; those of a running process are left. On any failure the
    // temporary file is removed, the old file is untouched and the result is false; error (when
    // given) then holds the system's errno for the step that failed (EINVAL for an unusable path).
    static bool WriteHostFile(const NarrowString& hostPath, const NarrowString& bytes, int* error = nullptr);

    // WriteHostFile for a virtual path that reaches a host file; otherwise a plain write
    // through the virtual file system (an open stream and one write of every byte; EIO when
    // that fails).
    static bool WriteFile(const char* virtualPath, const NarrowString& bytes, int* error = nullptr);

    // The file a write to hostPath replaces: hostPath itself, or, when it is a symbolic link,
    // the file at the end of its chain of links (a relative link counts from its own folder),
    // which need not exist yet. False with errno set when a link can't be read or the chain
    // doesn't end (ELOOP).
    static bool FollowLinks(const NarrowString& hostPath, NarrowString& target);

    // Tests replace the low-level write to make it fail part-way; null restores write(2).
    // Set it only while no other thread saves.
    static void SetWriteFunction(WriteFunction write);
};

} // namespace Tarv
