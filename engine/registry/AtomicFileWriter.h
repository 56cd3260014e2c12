// Tarv::AtomicFileWriter: replaces a file's whole content so that a crash, a kill or a full
// disk part-way leaves either the old file or the new one, never a truncated mix (a file in a
// folder that takes no new files is rewritten in place, which holds that only for a failed write).
#pragma once

#include "engine/core/NarrowString.h"

#include <cstddef>
#include <sys/types.h>

namespace Tarv
{

// Why a write failed, and where.
struct WriteFailure
{
    // The system's errno for the step that failed (EINVAL for an unusable path).
    int error = 0;
    // What refused the write: a folder that could not be made or is not there, the folder that
    // takes no new file, or the file itself; with links, "." and ".." resolved as far as it
    // exists, so it names the place rather than the way a link took to it.
    NarrowString path;
    // The file the write was to replace: the path itself, or the end of its symbolic links.
    // Empty when the write failed before that was known.
    NarrowString target;
    // Only a write in place sets it: the new text failed part-way and the old one could not be
    // put back either, so the file may hold neither whole.
    bool damaged = false;
    // Only a write in place sets it: another program held the file locked for longer than a
    // save waits (AtomicFileWriter::LOCK_WAIT_MS), and nothing was written.
    bool locked = false;
    // The kind of file (st_mode's S_IFMT bits) found where a regular file was to be written: a
    // folder (error EISDIR) or another kind, such as a named pipe or a device (EINVAL); 0 when
    // the write failed for another reason or none.
    mode_t kind = 0;
};

// Why a file of this kind (an st_mode) is neither read nor saved over: "it is a named pipe, not a
// regular file", "it is a device, not a regular file", the system's words for a folder, or "it is
// not a regular file".
NarrowString DescribeFileKind(mode_t mode);

// Why a write to hostPath (the file the caller meant to write) failed, in words for a message
// that names hostPath before it. Through a link the folder or file that refused the write is
// named, as it may lie far from hostPath; a file held locked by another program, left
// part-written by a write in place, or of a kind never saved over, is said to be so.
NarrowString DescribeWriteFailure(const WriteFailure& failure, const NarrowString& hostPath);

class AtomicFileWriter
{
public:
    // The low-level write the writer calls; it has write(2)'s contract.
    using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);
    // How long a write in place waits while another save or program holds the file locked;
    // a lock held longer than that fails the write.
    static constexpr int LOCK_WAIT_MS = 2000;

    // The host file that a write to the virtual path lands on, found the way the virtual file
    // system searches its mounts (save mounts resolve into the user's save directory). Empty
    // when the path doesn't reach a host directory.
    static NarrowString GetHostPath(const char* virtualPath);
    // Why a write to the virtual path has no host file although it reaches a save mount (there
    // is no save folder, MaemoGameSaveFile::NO_SAVE_FOLDER); "" otherwise.
    static NarrowString GetMissingFolderReason(const char* virtualPath);

    // Writes bytes to a temporary file of its own beside hostPath (making the missing folders of
    // hostPath), flushes it to the disk, then renames it over hostPath. What a plain write would
    // keep is kept: a file the saver may not write is refused (naming it; permission bits don't
    // bind root), and the new file has the old one's owner and group as far as the saver may
    // give them (the owner only as root, a group only one the saver is in) and its permission bits,
    // all set while nobody but the saver can open it, before anything is written; it takes no
    // access list from its folder's default. Where the renamed file could not come out as the old
    // one was (an owner or group the saver may not give, a second name, an access list or one that
    // can't be read), the old file is written in place instead, as described below.
    // A file not there before takes them from formerFile (a host path) when that is a file, else
    // gets the mode a new file is made with (0666 less the umask) and the saver's owner and group.
    // Something other than a regular file at hostPath (a folder, a named pipe, a device) is never
    // opened nor replaced: the write fails with failure->kind set. Saves running at once, in this
    // process or another, each put one whole file in place and the last rename wins.
    // When hostPath is a symbolic link (or a chain of them) the save goes through it: the temporary
    // file is made beside the link's final target and renamed over that, and the link stays; no
    // folder is made on the way to a link's target, so a link into a missing folder fails.
    // Temporary files of earlier saves of the same file whose process no longer runs (killed
    // part-way) are removed first; those of a running process are left. On failure the
    // temporary file is removed, the old file is untouched and the result is false, with
    // failure (when given) saying why and where.
    // A folder that refuses new files (permissions) can still hold a file the user may write:
    // then that file is written in place, as a plain write would, under a lock against other
    // saves (failure->locked when it stays held beyond LOCK_WAIT_MS). The space a longer text
    // needs is taken first, and the old text, read beforehand, is written back when the new one
    // fails part-way (failure->damaged when that fails too); only a crash or a kill during that
    // one write can leave the file part-written.
    static bool WriteHostFile(const NarrowString& hostPath, const NarrowString& bytes,
                              WriteFailure* failure = nullptr, const NarrowString& formerFile = NarrowString());

    // WriteHostFile for a virtual path that reaches a host file; otherwise a plain write
    // through the virtual file system (an open stream and one write of every byte; EIO, naming
    // the virtual path, when that fails).
    static bool WriteFile(const char* virtualPath, const NarrowString& bytes, WriteFailure* failure = nullptr,
                          const NarrowString& formerFile = NarrowString());

    // The file a write to hostPath replaces: hostPath itself, or, when it is a symbolic link,
    // the file at the end of its chain of links (a relative link counts from its own folder),
    // which need not exist yet. False with errno set, and target at the link where the walk
    // stopped, when a link can't be read or the chain doesn't end (ELOOP).
    static bool FollowLinks(const NarrowString& hostPath, NarrowString& target);

    // Tests replace the low-level write to make it fail part-way; null restores write(2).
    // Set it only while no other thread saves.
    static void SetWriteFunction(WriteFunction write);
};

} // namespace Tarv
