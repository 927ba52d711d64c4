#pragma once

// The CLAP extensions the plug-in layer uses that the CLAP 1.1 header set it
// builds against does not carry, declared as the published CLAP interface
// defines them: the same id strings and the same layouts.
#include <clap/plugin.h>

static CLAP_CONSTEXPR const char CLAP_EXT_TAIL[] = "clap.tail";
static CLAP_CONSTEXPR const char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

#ifdef __cplusplus
extern "C"
{
#endif

    typedef struct clap_plugin_tail
    {
        // Tail length in samples; INT32_MAX and above mean an endless tail.
        // [main-thread, audio-thread]
        uint32_t (CLAP_ABI* get) (const clap_plugin_t* plugin);
    } clap_plugin_tail_t;

    typedef struct clap_host_tail
    {
        // [audio-thread]
        void (CLAP_ABI* changed) (const clap_host_t* host);
    } clap_host_tail_t;

    enum
    {
        CLAP_POSIX_FD_READ = 1 << 0,
        CLAP_POSIX_FD_WRITE = 1 << 1,
        CLAP_POSIX_FD_ERROR = 1 << 2,
    };
    typedef uint32_t clap_posix_fd_flags_t;

    typedef struct clap_plugin_posix_fd_support
    {
        // Level-triggered: called while the descriptor stays ready. [main-thread]
        void (CLAP_ABI* on_fd) (const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags);
    } clap_plugin_posix_fd_support_t;

    typedef struct clap_host_posix_fd_support
    {
        // [main-thread]
        bool (CLAP_ABI* register_fd) (const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
        bool (CLAP_ABI* modify_fd) (const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
        bool (CLAP_ABI* unregister_fd) (const clap_host_t* host, int fd);
    } clap_host_posix_fd_support_t;

#ifdef __cplusplus
}
#endif
