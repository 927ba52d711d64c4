#include "SafeOutputFile.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace
{
// The temporaries a signal handler must remove. Plain arrays and
// sig_atomic_t flags, since the handler may only make async-signal-safe
// calls (unlink) and may interrupt the code that fills them.
constexpr int maxTemporaries = 8;
char temporaryPaths[maxTemporaries][PATH_MAX];
volatile std::sig_atomic_t temporaryInUse[maxTemporaries];

int registerTemporary (const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < maxTemporaries; ++i)
        if (temporaryInUse[i] == 0)
        {
            std::memcpy (temporaryPaths[i], path.c_str(), path.size() + 1);
            temporaryInUse[i] = 1;
            return i;
        }
    return -1;
}

void forgetTemporary (int slot)
{
    if (slot >= 0)
        temporaryInUse[slot] = 0;
}

extern "C" void removeTemporariesAndDie (int signalNumber)
{
    for (int i = 0; i < maxTemporaries; ++i)
        if (temporaryInUse[i] != 0)
            ::unlink (temporaryPaths[i]);
    // Die of the same signal, so the caller's shell sees what happened.
    std::signal (signalNumber, SIG_DFL);
    std::raise (signalNumber);
}

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
        struct stat info {};
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

SafeOutputFile::~SafeOutputFile()
{
    discard();
}

std::string SafeOutputFile::failure (int code) const
{
    return "cannot write " + given + ": " + std::strerror (code);
}

bool SafeOutputFile::sameFile (const std::string& a, const std::string& b)
{
    struct stat x {}, y {};
    return ::stat (a.c_str(), &x) == 0 && ::stat (b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool SafeOutputFile::open (const std::string& path, std::string& error, const std::vector<std::string>& inputs)
{
    discard();
    given = path;
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
    {
        error = failure (code);
        return false;
    }

    struct stat existing {};
    const bool exists = ::stat (target.c_str(), &existing) == 0;
    if (exists && S_ISDIR (existing.st_mode))
    {
        error = failure (EISDIR);
        return false;
    }
    if (exists && ! S_ISREG (existing.st_mode))
    {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }
    // The rename would replace a file its owner made read-only; honour
    // the permission as writing in place would.
    if (exists && ::access (target.c_str(), W_OK) != 0)
    {
        error = failure (errno);
        return false;
    }

    // A dot file beside the destination: same filesystem for the rename,
    // hidden from a listing while it is being written.
    auto pattern = folderOf (target) + "/." + nameOf (target) + ".part-XXXXXX";
    std::vector<char> name (pattern.begin(), pattern.end());
    name.push_back (0);
    // The signals that remove temporaries wait until this one is on the
    // list: one arriving between its creation and its registration would
    // otherwise leave it behind.
    sigset_t removing, previous;
    sigemptyset (&removing);
    for (const int s : { SIGINT, SIGTERM, SIGHUP })
        sigaddset (&removing, s);
    ::pthread_sigmask (SIG_BLOCK, &removing, &previous);
    fd = ::mkostemp (name.data(), O_CLOEXEC);
    const int reason = errno;
    if (fd >= 0)
        slot = registerTemporary (name.data());
    ::pthread_sigmask (SIG_SETMASK, &previous, nullptr);
    if (fd < 0)
    {
        error = failure (reason);
        return false;
    }
    temporary = name.data();

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

bool SafeOutputFile::commit (std::string& error)
{
    if (fd < 0)
    {
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
    if (::rename (temporary.c_str(), target.c_str()) != 0)
    {
        error = failure (errno);
        discard();
        return false;
    }
    forgetTemporary (slot);
    slot = -1;
    temporary.clear();

    // Make the rename itself durable; a folder that cannot be synced (some
    // network filesystems) still holds the complete file.
    const int folder = ::open (folderOf (target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
    {
        ::fsync (folder);
        ::close (folder);
    }
    return true;
}

void SafeOutputFile::discard()
{
    if (fd >= 0)
        ::close (fd);
    fd = -1;
    if (! temporary.empty())
        ::unlink (temporary.c_str());
    forgetTemporary (slot);
    slot = -1;
    temporary.clear();
}

bool SafeOutputFile::writeWhole (const std::string& path, const void* data, size_t size, std::string& error,
                                 const std::vector<std::string>& inputs)
{
    SafeOutputFile file;
    return file.open (path, error, inputs) && file.write (data, size, error) && file.commit (error);
}

void SafeOutputFile::installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndDie;
    sigemptyset (&action.sa_mask);
    for (const int s : { SIGINT, SIGTERM, SIGHUP })
        sigaddset (&action.sa_mask, s);
    for (const int s : { SIGINT, SIGTERM, SIGHUP })
    {
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        struct sigaction previous {};
        if (::sigaction (s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction (s, &action, nullptr);
    }
    std::signal (SIGXFSZ, SIG_IGN);
}
