#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/** An output file that replaces its destination only once it is complete.

    The bytes go to a temporary file in the destination's folder (so the
    final rename stays on one filesystem); commit() flushes it to the disk,
    renames it over the destination and flushes the folder. Until then the
    old file, if any, is untouched: a failed write, a full disk, an error
    anywhere in the tool or Ctrl-C leaves it as it was and removes the
    temporary (on SIGINT, SIGTERM and SIGHUP through the handlers that
    Cleanup::installSignalHandlers puts in place, which remove every
    temporary on Cleanup's list).

    While it is written the temporary is locked (flock). Opening an output
    first removes the temporaries of the same destination that no process
    holds locked, which a run killed outright (kill -9, a power cut) left
    behind.

    A destination that is a symbolic link is written through: the link's
    final target is replaced and the link stays. A folder, a device or one
    of the tool's own inputs is refused. Every error names the path and the
    system's reason. */
class SafeOutputFile
{
public:
    SafeOutputFile() = default;
    /** Removes the temporary unless commit() succeeded. */
    ~SafeOutputFile();

    SafeOutputFile (const SafeOutputFile&) = delete;
    SafeOutputFile& operator= (const SafeOutputFile&) = delete;

    /** Checks the destination and creates the temporary. `inputs` are the
        files the tool reads in this run: an output that is one of them
        (the same file, also through links) is refused. */
    bool open (const std::string& path, std::string& error, const std::vector<std::string>& inputs = {});

    /** The checks of open() without creating anything: the destination is
        not one of `inputs`, not a folder or device, writable if it exists,
        and its folder exists and takes new files. */
    static bool check (const std::string& path, std::string& error, const std::vector<std::string>& inputs = {});

    bool isOpen() const noexcept { return fd >= 0; }
    /** The temporary's descriptor, for writers that need one. */
    int descriptor() const noexcept { return fd; }
    /** The destination as given by the user, for messages. */
    const std::string& path() const noexcept { return given; }

    /** Writes all bytes at the current position. */
    bool write (const void* data, size_t size, std::string& error);

    /** Flushes, closes and renames the temporary over the destination. */
    bool commit (std::string& error);
    /** Flushes and closes the temporary, which stays listed for removal
        until commit() puts it in place. commit() does this itself. */
    bool complete (std::string& error);

    /** Puts two outputs in place as one: both are complete and on the disk
        before either name changes, termination signals wait until both have
        changed, and when the second cannot be put in place the first
        destination gets its old file back (or, if it had none, loses the
        new one), so that both change or neither does. */
    static bool commitTogether (SafeOutputFile& first, SafeOutputFile& second, std::string& error);

    /** True when the two paths would write one file: the same destination
        after links are followed, or one file under two names. */
    static bool sameDestination (const std::string& a, const std::string& b);
    /** Closes and removes the temporary; the destination stays as it was. */
    void discard();

    /** "cannot write PATH: reason" for the system error `code`. */
    std::string failure (int code) const;

    /** Writes a whole file in one go: open, write, commit. */
    static bool writeWhole (const std::string& path, const void* data, size_t size, std::string& error,
                            const std::vector<std::string>& inputs = {});

    /** Removes `.NAME.part-XXXXXX` beside `destination` where no live
        process holds the file locked; says so on stderr. Returns how many. */
    static int removeStaleTemporaries (const std::string& destination);

    /** True when both paths name one existing file (same device and inode). */
    static bool sameFile (const std::string& a, const std::string& b);

private:
    static bool checkTarget (const std::string& path, std::string& error, const std::vector<std::string>& inputs,
                             std::string& target, struct stat& existing, bool& exists);
    bool rename (std::string& error);
    void committed();

    std::string given, target, temporary;
    int fd = -1;
    int slot = -1;
};
