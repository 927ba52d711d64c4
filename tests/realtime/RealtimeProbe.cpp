#include "RealtimeProbe.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

#include <dlfcn.h>
#include <pthread.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define LUMIDOR_PROBE_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define LUMIDOR_PROBE_SANITIZED 1
#endif

#if defined(__linux__) && (defined(__x86_64__) || defined(__aarch64__))
#include <csignal>
#include <cstring>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>
#define LUMIDOR_PROBE_SECCOMP 1
#endif

namespace
{
// Constant-initialised, so reading it never allocates or runs an initialiser.
thread_local bool insideCallback = false;

std::atomic<uint64_t> insideAllocations { 0 };
std::atomic<uint64_t> insideDeallocations { 0 };
std::atomic<uint64_t> insideLockWaits { 0 };
std::atomic<uint64_t> insideSystemCalls { 0 };
std::atomic<long> lastSystemCall { -1 };
std::atomic<uint64_t> allAllocations { 0 };
std::atomic<uint64_t> allLocks { 0 };

inline void noteAllocation() noexcept
{
    allAllocations.fetch_add (1, std::memory_order_relaxed);
    if (insideCallback)
        insideAllocations.fetch_add (1, std::memory_order_relaxed);
}

inline void noteDeallocation (void* p) noexcept
{
    if (p != nullptr && insideCallback)
        insideDeallocations.fetch_add (1, std::memory_order_relaxed);
}
}

namespace RealtimeProbe
{
void setInside (bool inside) noexcept { insideCallback = inside; }

Counts counts() noexcept
{
    Counts c;
    c.allocations = insideAllocations.load();
    c.deallocations = insideDeallocations.load();
    c.lockWaits = insideLockWaits.load();
    c.systemCalls = insideSystemCalls.load();
    c.lastSystemCall = lastSystemCall.load();
    return c;
}

void reset() noexcept
{
    insideAllocations = 0;
    insideDeallocations = 0;
    insideLockWaits = 0;
    insideSystemCalls = 0;
    lastSystemCall = -1;
}

uint64_t allocationsEverywhere() noexcept { return allAllocations.load(); }
uint64_t locksEverywhere() noexcept { return allLocks.load(); }

#if LUMIDOR_PROBE_SANITIZED
bool isAvailable() noexcept { return false; }
#else
bool isAvailable() noexcept { return true; }
#endif
}

//==============================================================================
// The interposed allocator and mutex. glibc exports its allocator under
// __libc_* names, so no symbol lookup (which could itself allocate) is needed.
#if ! LUMIDOR_PROBE_SANITIZED
extern "C"
{
    void* __libc_malloc (size_t);
    void __libc_free (void*);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);

    void* malloc (size_t size)
    {
        noteAllocation();
        return __libc_malloc (size);
    }

    void free (void* p)
    {
        noteDeallocation (p);
        __libc_free (p);
    }

    void* calloc (size_t n, size_t size)
    {
        noteAllocation();
        return __libc_calloc (n, size);
    }

    void* realloc (void* p, size_t size)
    {
        noteAllocation();
        return __libc_realloc (p, size);
    }

    void* memalign (size_t alignment, size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** out, size_t alignment, size_t size)
    {
        if (alignment < sizeof (void*) || (alignment & (alignment - 1)) != 0)
            return EINVAL;
        noteAllocation();
        void* p = __libc_memalign (alignment, size);
        if (p == nullptr)
            return ENOMEM;
        *out = p;
        return 0;
    }

    using MutexLock = int (*) (pthread_mutex_t*);

    int pthread_mutex_lock (pthread_mutex_t* m)
    {
        // Resolved once; dlsym may allocate, which is harmless here because the
        // first lock happens long before any thread is marked.
        static const auto realLock = reinterpret_cast<MutexLock> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));

        allLocks.fetch_add (1, std::memory_order_relaxed);
        // An uncontended lock costs no wait; only a lock that someone else holds
        // would make the audio thread sleep.
        if (pthread_mutex_trylock (m) == 0)
            return 0;
        if (insideCallback)
            insideLockWaits.fetch_add (1, std::memory_order_relaxed);
        return realLock (m);
    }
}

namespace
{
void* newOrThrow (size_t size)
{
    for (;;)
    {
        if (void* p = malloc (size == 0 ? 1 : size))
            return p;
        auto handler = std::get_new_handler();
        if (handler == nullptr)
            throw std::bad_alloc();
        handler();
    }
}

void* alignedNewOrThrow (size_t size, std::align_val_t alignment)
{
    const auto a = (size_t) alignment < sizeof (void*) ? sizeof (void*) : (size_t) alignment;
    void* p = nullptr;
    if (posix_memalign (&p, a, size == 0 ? 1 : size) != 0)
        throw std::bad_alloc();
    return p;
}
}

void* operator new (size_t size) { return newOrThrow (size); }
void* operator new[] (size_t size) { return newOrThrow (size); }
void* operator new (size_t size, const std::nothrow_t&) noexcept { return malloc (size == 0 ? 1 : size); }
void* operator new[] (size_t size, const std::nothrow_t&) noexcept { return malloc (size == 0 ? 1 : size); }
void* operator new (size_t size, std::align_val_t a) { return alignedNewOrThrow (size, a); }
void* operator new[] (size_t size, std::align_val_t a) { return alignedNewOrThrow (size, a); }
void* operator new (size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    try
    {
        return alignedNewOrThrow (size, a);
    }
    catch (...)
    {
        return nullptr;
    }
}
void* operator new[] (size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    try
    {
        return alignedNewOrThrow (size, a);
    }
    catch (...)
    {
        return nullptr;
    }
}

void operator delete (void* p) noexcept { free (p); }
void operator delete[] (void* p) noexcept { free (p); }
void operator delete (void* p, size_t) noexcept { free (p); }
void operator delete[] (void* p, size_t) noexcept { free (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept { free (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept { free (p); }
void operator delete (void* p, std::align_val_t) noexcept { free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { free (p); }
void operator delete (void* p, size_t, std::align_val_t) noexcept { free (p); }
void operator delete[] (void* p, size_t, std::align_val_t) noexcept { free (p); }
void operator delete (void* p, std::align_val_t, const std::nothrow_t&) noexcept { free (p); }
void operator delete[] (void* p, std::align_val_t, const std::nothrow_t&) noexcept { free (p); }
#endif

//==============================================================================
// The system-call trap. A seccomp filter on the audio thread turns every
// system call into SIGSYS, except those made from one instruction: the
// handler's own trampoline, through which it performs the call it caught. So
// the thread works as before, and a call made inside the marked region is
// counted. The few calls that cannot be re-issued from a signal handler
// (signal return, masks, thread creation) or that a thread makes on its way
// out with every signal blocked (releasing its stack, exit) pass the filter
// untouched; heap use that would lead to them is counted by the allocator.
#if LUMIDOR_PROBE_SECCOMP
extern "C" long lumidorProbeSyscall (long number, long a1, long a2, long a3, long a4, long a5, long a6);
extern "C" char lumidorProbeSyscallReturn[];

// The trampoline: the number and six arguments in the C calling convention
// in, the kernel's convention out, and the return address right after the
// system-call instruction, which the filter lets through.
#if defined(__x86_64__)
asm(R"(
    .text
    .globl lumidorProbeSyscall
    .type lumidorProbeSyscall, @function
lumidorProbeSyscall:
    movq %rdi, %rax
    movq %rsi, %rdi
    movq %rdx, %rsi
    movq %rcx, %rdx
    movq %r8, %r10
    movq %r9, %r8
    movq 8(%rsp), %r9
    syscall
    .globl lumidorProbeSyscallReturn
lumidorProbeSyscallReturn:
    ret
    .size lumidorProbeSyscall, . - lumidorProbeSyscall
)");
#else
asm(R"(
    .text
    .globl lumidorProbeSyscall
    .type lumidorProbeSyscall, %function
lumidorProbeSyscall:
    mov x8, x0
    mov x0, x1
    mov x1, x2
    mov x2, x3
    mov x3, x4
    mov x4, x5
    mov x5, x6
    svc #0
    .globl lumidorProbeSyscallReturn
lumidorProbeSyscallReturn:
    ret
    .size lumidorProbeSyscall, . - lumidorProbeSyscall
)");
#endif

namespace
{
#if defined(__x86_64__)
constexpr uint32_t probedArchitecture = AUDIT_ARCH_X86_64;
constexpr long vforkCall = SYS_vfork;
#else
constexpr uint32_t probedArchitecture = AUDIT_ARCH_AARCH64;
// 64-bit ARM has no vfork call (clone does its work): the slot repeats clone.
constexpr long vforkCall = SYS_clone;
#endif

void onTrappedSystemCall (int, siginfo_t* info, void* context)
{
    auto* uc = static_cast<ucontext_t*> (context);
    const long number = info->si_syscall;

    if (insideCallback)
    {
        insideSystemCalls.fetch_add (1, std::memory_order_relaxed);
        lastSystemCall.store (number, std::memory_order_relaxed);
    }

#if defined(__x86_64__)
    auto& r = uc->uc_mcontext.gregs;
    r[REG_RAX] = lumidorProbeSyscall (number, r[REG_RDI], r[REG_RSI], r[REG_RDX], r[REG_R10], r[REG_R8], r[REG_R9]);
#else
    auto* r = uc->uc_mcontext.regs;
    r[0] = (unsigned long long) lumidorProbeSyscall (number, (long) r[0], (long) r[1], (long) r[2], (long) r[3],
                                                     (long) r[4], (long) r[5]);
#endif
}

bool installHandlerOnce()
{
    static const bool installed = []
    {
        struct sigaction sa;
        std::memset (&sa, 0, sizeof sa);
        sa.sa_sigaction = onTrappedSystemCall;
        sa.sa_flags = SA_SIGINFO;
        sigemptyset (&sa.sa_mask);
        return sigaction (SIGSYS, &sa, nullptr) == 0;
    }();
    return installed;
}
}

bool RealtimeProbe::trapSystemCallsOnThisThread() noexcept
{
    if (! installHandlerOnce())
        return false;

    const auto site = (uint64_t) (uintptr_t) lumidorProbeSyscallReturn;
    const auto siteLow = (uint32_t) site;
    const auto siteHigh = (uint32_t) (site >> 32);
    constexpr uint32_t ipLow = offsetof (seccomp_data, instruction_pointer);
    constexpr uint32_t ipHigh = ipLow + 4;
    constexpr uint32_t nr = offsetof (seccomp_data, nr);

    sock_filter program[] = {
        BPF_STMT (BPF_LD | BPF_W | BPF_ABS, offsetof (seccomp_data, arch)),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, probedArchitecture, 1, 0),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT (BPF_LD | BPF_W | BPF_ABS, ipLow),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, siteLow, 0, 3),
        BPF_STMT (BPF_LD | BPF_W | BPF_ABS, ipHigh),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, siteHigh, 0, 1),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT (BPF_LD | BPF_W | BPF_ABS, nr),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_rt_sigreturn, 9, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_rt_sigprocmask, 8, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_madvise, 7, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_munmap, 6, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_exit, 5, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_exit_group, 4, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_clone, 3, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, SYS_clone3, 2, 0),
        BPF_JUMP (BPF_JMP | BPF_JEQ | BPF_K, vforkCall, 1, 0),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_TRAP),
        BPF_STMT (BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog filter { (unsigned short) (sizeof program / sizeof program[0]), program };

    if (prctl (PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return false;
    return syscall (SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter) == 0;
}
#else
bool RealtimeProbe::trapSystemCallsOnThisThread() noexcept { return false; }
#endif
