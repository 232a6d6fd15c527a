/*
 * qdx_sys.h - the small piece of Win32 that the link library is written
 * against, over POSIX threads and ELF constructors.
 *
 * Critical section: CRITICAL_SECTION with InitializeCriticalSection,
 * EnterCriticalSection, LeaveCriticalSection and DeleteCriticalSection. Like
 * its Win32 namesake it is recursive: the thread that holds it may enter it
 * again and must leave it as often as it entered. It is process-local and
 * must be initialised before the first enter and deleted after the last
 * leave.
 *
 * Load and unload: QDX_PROCESS_ATTACH(name) and QDX_PROCESS_DETACH(name)
 * define a function that runs when the shared object (or the program it is
 * linked into) is loaded into the process, respectively when it is unloaded
 * or the process exits. They stand in for the process-attach and
 * process-detach notifications of a DLL's entry point. Attach hooks run
 * before any code of a module that depends on this one; detach hooks run
 * after exit() has started, so nothing may rely on them while threads still
 * call in.
 */
#ifndef QDX_SYS_H
#define QDX_SYS_H

#include <pthread.h>

typedef struct CRITICAL_SECTION {
    pthread_mutex_t mutex;
} CRITICAL_SECTION;

static inline void InitializeCriticalSection(CRITICAL_SECTION *section)
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&section->mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

static inline void EnterCriticalSection(CRITICAL_SECTION *section)
{
    pthread_mutex_lock(&section->mutex);
}

static inline void LeaveCriticalSection(CRITICAL_SECTION *section)
{
    pthread_mutex_unlock(&section->mutex);
}

static inline void DeleteCriticalSection(CRITICAL_SECTION *section)
{
    pthread_mutex_destroy(&section->mutex);
}

#define QDX_PROCESS_ATTACH(name) \
    __attribute__((constructor)) static void name(void)
#define QDX_PROCESS_DETACH(name) \
    __attribute__((destructor)) static void name(void)

#endif /* QDX_SYS_H */
