#include "SafeOutputFile.h"

#include "Cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <iostream>
#include <new>

namespace
{
std::string folderOf (const std::string& path)
{
    const auto slash = path.rfind ('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr (0, slash);
}

std::string nameOf (const std::string& path)
{
    const auto slash = path.rfind ('/');
    return slash == std::string::npos ? path : path.substr (slash + 1);
}

/** Follows symbolic links to the file that is finally written; a link whose
    target does not exist yet gives that target, so writing creates it. */
bool resolveLinks (const std::string& path, std::string& resolved, int& code)
{
    resolved = path;
    for (int hops = 0; hops < 40; ++hops)
    {
        struct stat info
        {
        };
        if (::lstat (resolved.c_str(), &info) != 0)
        {
            code = errno;
            return code == ENOENT;
        }
        if (! S_ISLNK (info.st_mode))
            return true;

        char text[PATH_MAX];
        const auto n = ::readlink (resolved.c_str(), text, sizeof (text) - 1);
        if (n < 0)
        {
            code = errno;
            return false;
        }
        text[n] = 0;
        resolved = text[0] == '/' ? std::string (text) : folderOf (resolved) + "/" + text;
    }
    code = ELOOP;
    return false;
}
}

SafeOutputFile::~SafeOutputFile() { discard(); }

std::string SafeOutputFile::failure (int code) const { return "cannot write " + given + ": " + std::strerror (code); }

bool SafeOutputFile::sameFile (const std::string& a, const std::string& b)
{
    struct stat x
    {
    }, y {};
    return ::stat (a.c_str(), &x) == 0 && ::stat (b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool SafeOutputFile::check (const std::string& path, std::string& error, const std::vector<std::string>& inputs)
{
    std::string target;
    struct stat existing
    {
    };
    bool exists = false;
    return checkTarget (path, error, inputs, target, existing, exists);
}

bool SafeOutputFile::checkTarget (const std::string& path, std::string& error, const std::vector<std::string>& inputs,
                                  std::string& target, struct stat& existing, bool& exists)
{
    const auto fail = [&path, &error] (int code)
    {
        error = "cannot write " + path + ": " + std::strerror (code);
        return false;
    };
    if (path.empty())
    {
        error = "an output file needs a name";
        return false;
    }
    for (const auto& input : inputs)
        if (sameFile (path, input))
        {
            error = "refusing to write " + path + ": it is the input " + input + " (choose another output name)";
            return false;
        }

    int code = 0;
    if (! resolveLinks (path, target, code))
        return fail (code);

    exists = ::stat (target.c_str(), &existing) == 0;
    if (exists && S_ISDIR (existing.st_mode))
        return fail (EISDIR);
    if (exists && ! S_ISREG (existing.st_mode))
    {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    // The rename would replace a file its owner made read-only; honour
    // the permission as writing in place would.
    if (exists && ::access (target.c_str(), W_OK) != 0)
        return fail (errno);

    // The temporary is made in the destination's folder, so that folder
    // must exist and take new files.
    struct stat folder
    {
    };
    if (::stat (folderOf (target).c_str(), &folder) != 0)
        return fail (errno);
    if (! S_ISDIR (folder.st_mode))
        return fail (ENOTDIR);
    if (::access (folderOf (target).c_str(), W_OK | X_OK) != 0)
        return fail (errno);
    return true;
}

int SafeOutputFile::removeStaleTemporaries (const std::string& destination)
{
    const auto folder = folderOf (destination);
    const auto prefix = "." + nameOf (destination) + ".part-";
    DIR* listing = ::opendir (folder.c_str());
    if (listing == nullptr)
        return 0;
    int removed = 0;
    while (const auto* entry = ::readdir (listing))
    {
        // Exactly our pattern: the prefix and mkostemp's six letters or digits.
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare (0, prefix.size(), prefix) != 0
            || ! std::all_of (name.end() - 6, name.end(), [] (unsigned char c) { return std::isalnum (c) != 0; }))
            continue;
        const auto path = folder + "/" + name;
        const int fd = ::open (path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A live writer holds its temporary locked; a lock we get means
        // that whoever made the file is gone.
        struct stat held
        {
        }, named {};
        if (::fstat (fd, &held) == 0 && S_ISREG (held.st_mode) && held.st_uid == ::geteuid()
            && ::flock (fd, LOCK_EX | LOCK_NB) == 0 && ::lstat (path.c_str(), &named) == 0
            && named.st_dev == held.st_dev && named.st_ino == held.st_ino && ::unlink (path.c_str()) == 0)
        {
            std::cerr << "lumidor-host: note: removed " << path << ", left behind by a run that was killed\n";
            ++removed;
        }
        ::close (fd);
    }
    ::closedir (listing);
    return removed;
}

bool SafeOutputFile::open (const std::string& path, std::string& error, const std::vector<std::string>& inputs)
{
    discard();
    given = path;
    struct stat existing
    {
    };
    bool exists = false;
    if (! checkTarget (path, error, inputs, target, existing, exists))
        return false;
    removeStaleTemporaries (target);

    // A dot file beside the destination: same filesystem for the rename,
    // hidden from a listing while it is being written.
    const auto pattern = folderOf (target) + "/." + nameOf (target) + ".part-XXXXXX";
    // The signals that remove temporaries wait until this one is on the
    // list: one arriving between its creation and its registration would
    // otherwise leave it behind.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        std::vector<char> name (pattern.begin(), pattern.end());
        name.push_back (0);
        int reason = 0;
        {
            const Cleanup::SignalsHeld held;
            fd = ::mkostemp (name.data(), O_CLOEXEC);
            reason = errno;
            if (fd >= 0)
                slot = Cleanup::listTemporary (name.data());
        }
        if (fd < 0)
        {
            error = failure (reason);
            return false;
        }
        temporary = name.data();

        // The lock tells another run's clean-up that this file is alive. One
        // that found it in the moment before the lock may have removed it:
        // then the name no longer leads here, and a new one is made.
        struct stat held
        {
        }, named {};
        while (::flock (fd, LOCK_EX) != 0 && errno == EINTR)
        {
        }
        if (::fstat (fd, &held) != 0 || ::stat (temporary.c_str(), &named) != 0 || held.st_ino != named.st_ino
            || held.st_dev != named.st_dev)
        {
            ::close (fd);
            fd = -1;
            Cleanup::forgetTemporary (slot);
            slot = -1;
            temporary.clear();
        }
    }
    if (fd < 0)
    {
        error = failure (EEXIST);
        return false;
    }

    // mkostemp makes the file private; give it the permissions the
    // destination has, or those a newly created file would get.
    mode_t mode = 0;
    if (exists)
        mode = existing.st_mode & 07777;
    else
    {
        const mode_t mask = ::umask (0);
        ::umask (mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod (fd, mode) != 0)
    {
        error = failure (errno);
        discard();
        return false;
    }
    return true;
}

bool SafeOutputFile::write (const void* data, size_t size, std::string& error)
{
    const auto* bytes = static_cast<const char*> (data);
    while (size > 0)
    {
        const auto n = ::write (fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            error = failure (errno);
            return false;
        }
        bytes += n;
        size -= (size_t) n;
    }
    return true;
}

bool SafeOutputFile::complete (std::string& error)
{
    if (fd < 0)
    {
        if (! temporary.empty())
            return true;
        error = "cannot write " + given + ": the file was not opened";
        return false;
    }
    // The data must be on the disk before the name points to it, or a crash
    // soon after could leave an empty file where the old one was.
    if (::fsync (fd) != 0)
    {
        error = failure (errno);
        discard();
        return false;
    }
    const int closing = ::close (fd);
    fd = -1;
    if (closing != 0)
    {
        error = failure (errno);
        discard();
        return false;
    }
    return true;
}

bool SafeOutputFile::rename (std::string& error)
{
    if (::rename (temporary.c_str(), target.c_str()) != 0)
    {
        error = failure (errno);
        discard();
        return false;
    }
    return true;
}

void SafeOutputFile::committed()
{
    Cleanup::forgetTemporary (slot);
    slot = -1;
    temporary.clear();
    Cleanup::noteCommit();

    // Make the rename itself durable; a folder that cannot be synced (some
    // network filesystems) still holds the complete file.
    const int folder = ::open (folderOf (target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
    {
        ::fsync (folder);
        ::close (folder);
    }
}

bool SafeOutputFile::commit (std::string& error)
{
    if (! complete (error) || ! rename (error))
        return false;
    committed();
    return true;
}

bool SafeOutputFile::commitTogether (SafeOutputFile& first, SafeOutputFile& second, std::string& error)
{
    if (! first.complete (error) || ! second.complete (error))
    {
        first.discard();
        second.discard();
        return false;
    }

    const Cleanup::SignalsHeld held;

    // The first destination's old file swaps names with the new one rather
    // than being replaced, so that it can come back if the second fails.
    // A filesystem that cannot exchange names gets a plain rename.
    bool exchanged =
        ::renameat2 (AT_FDCWD, first.temporary.c_str(), AT_FDCWD, first.target.c_str(), RENAME_EXCHANGE) == 0;
    bool placed = exchanged;
    if (! exchanged)
    {
        placed = ::rename (first.temporary.c_str(), first.target.c_str()) == 0;
        if (! placed)
            error = first.failure (errno);
        else
            first.temporary.clear(); // nothing of the first is left under a temporary name
    }
    if (placed && ! second.rename (error))
    {
        // The second output is refused: the first destination as it was.
        if (exchanged)
            ::renameat2 (AT_FDCWD, first.temporary.c_str(), AT_FDCWD, first.target.c_str(), RENAME_EXCHANGE);
        else
            ::unlink (first.target.c_str());
        placed = false;
    }
    if (! placed)
    {
        first.discard();
        second.discard();
        return false;
    }
    if (exchanged)
        ::unlink (first.temporary.c_str()); // the old file
    first.committed();
    second.committed();
    return true;
}

bool SafeOutputFile::sameDestination (const std::string& a, const std::string& b)
{
    if (sameFile (a, b))
        return true;
    std::string targetA, targetB;
    int code = 0;
    if (! resolveLinks (a, targetA, code) || ! resolveLinks (b, targetB, code))
        return false;
    // Two names of one folder reach one file when their folders are one.
    const auto folderA = folderOf (targetA), folderB = folderOf (targetB);
    return nameOf (targetA) == nameOf (targetB) && (folderA == folderB || sameFile (folderA, folderB));
}

void SafeOutputFile::discard()
{
    if (fd >= 0)
        ::close (fd);
    fd = -1;
    if (! temporary.empty())
        ::unlink (temporary.c_str());
    Cleanup::forgetTemporary (slot);
    slot = -1;
    temporary.clear();
}

bool SafeOutputFile::writeWhole (const std::string& path, const void* data, size_t size, std::string& error,
                                 const std::vector<std::string>& inputs)
{
    SafeOutputFile file;
    return file.open (path, error, inputs) && file.write (data, size, error) && file.commit (error);
}
