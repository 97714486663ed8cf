// Threads, mutexes and conditions over the platform's threads: POSIX
// threads on Linux, Win32 threads on Windows. Error numbers are the
// platform's own errno values.
#include <errno.h>

#include <chrono>
#include <new>

#include "nl/hawkthreads.h"
#include "nl/internal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#include <time.h>
#endif

#ifdef _WIN32

struct ht_mutex_t {
    CRITICAL_SECTION section;
    volatile DWORD owner;  // 0 = unlocked
};

struct ht_cond_t {
    CRITICAL_SECTION section;  // guards waiters
    HANDLE wake;               // semaphore: one release per woken waiter
    long waiters;
};

namespace {
// A joinable thread's id: its handle and, once it ended, its result.
struct Thread {
    HANDLE handle = nullptr;
    HThreadFunc func;
    void* data;
    void* result = nullptr;
    bool joinable;
};

DWORD WINAPI RunThread(LPVOID p) {
    Thread* t = static_cast<Thread*>(p);
    void* result = t->func(t->data);
    if (t->joinable)
        t->result = result;
    else
        delete t;
    return 0;
}
}  // namespace

extern "C" {

HThreadID HL_APIENTRY htThreadCreate(HThreadFunc func, void* data, int joinable) {
    if (!func) return reinterpret_cast<HThreadID>(HT_INVALID);
    Thread* t = new (std::nothrow) Thread{nullptr, func, data, nullptr, joinable != 0};
    if (!t) return reinterpret_cast<HThreadID>(HT_INVALID);
    HANDLE h = CreateThread(nullptr, 0, RunThread, t, CREATE_SUSPENDED, nullptr);
    if (!h) {
        delete t;
        return reinterpret_cast<HThreadID>(HT_INVALID);
    }
    if (joinable) t->handle = h;
    ResumeThread(h);
    if (!joinable) {
        CloseHandle(h);
        return nullptr;
    }
    return t;
}

int HL_APIENTRY htThreadJoin(HThreadID thread, void** status) {
    Thread* t = static_cast<Thread*>(thread);
    if (!t || thread == reinterpret_cast<HThreadID>(HT_INVALID) || !t->handle) return EINVAL;
    if (WaitForSingleObject(t->handle, INFINITE) != WAIT_OBJECT_0) return EINVAL;
    if (status) *status = t->result;
    CloseHandle(t->handle);
    delete t;
    return 0;
}

void HL_APIENTRY htThreadSleep(int mseconds) {
    if (mseconds > 0) Sleep(static_cast<DWORD>(mseconds));
}

void HL_APIENTRY htThreadYield(void) { Sleep(0); }

int HL_APIENTRY htMutexInit(HTmutex* mutex) {
    if (!mutex) return EINVAL;
    ht_mutex_t* m = new (std::nothrow) ht_mutex_t;
    if (!m) return ENOMEM;
    InitializeCriticalSection(&m->section);
    m->owner = 0;
    *mutex = m;
    return 0;
}

int HL_APIENTRY htMutexLock(HTmutex* mutex) {
    if (!mutex || !*mutex) return EINVAL;
    ht_mutex_t* m = *mutex;
    if (m->owner == GetCurrentThreadId()) return EDEADLK;
    EnterCriticalSection(&m->section);
    m->owner = GetCurrentThreadId();
    return 0;
}

int HL_APIENTRY htMutexUnlock(HTmutex* mutex) {
    if (!mutex || !*mutex) return EINVAL;
    ht_mutex_t* m = *mutex;
    if (m->owner != GetCurrentThreadId()) return EPERM;
    m->owner = 0;
    LeaveCriticalSection(&m->section);
    return 0;
}

int HL_APIENTRY htMutexDestroy(HTmutex* mutex) {
    if (!mutex || !*mutex) return EINVAL;
    ht_mutex_t* m = *mutex;
    if (m->owner != 0) return EBUSY;
    DeleteCriticalSection(&m->section);
    delete m;
    *mutex = nullptr;
    return 0;
}

int HL_APIENTRY htCondInit(HTcond* cond) {
    if (!cond) return EINVAL;
    ht_cond_t* c = new (std::nothrow) ht_cond_t;
    if (!c) return ENOMEM;
    c->wake = CreateSemaphoreA(nullptr, 0, 0x7FFFFFFF, nullptr);
    if (!c->wake) {
        delete c;
        return ENOMEM;
    }
    InitializeCriticalSection(&c->section);
    c->waiters = 0;
    *cond = c;
    return 0;
}

int HL_APIENTRY htCondWait(HTcond* cond, int timeout) {
    if (!cond || !*cond) return EINVAL;
    ht_cond_t* c = *cond;
    EnterCriticalSection(&c->section);
    ++c->waiters;
    LeaveCriticalSection(&c->section);
    DWORD r = WaitForSingleObject(c->wake, timeout > 0 ? static_cast<DWORD>(timeout) : INFINITE);
    if (r == WAIT_OBJECT_0) return 0;
    // Timed out; a signal may have come between the time-out and here.
    EnterCriticalSection(&c->section);
    int result = ETIMEDOUT;
    if (WaitForSingleObject(c->wake, 0) == WAIT_OBJECT_0)
        result = 0;  // the signaller already counted this waiter out
    else
        --c->waiters;
    LeaveCriticalSection(&c->section);
    return result;
}

static int Wake(HTcond* cond, bool all) {
    if (!cond || !*cond) return EINVAL;
    ht_cond_t* c = *cond;
    EnterCriticalSection(&c->section);
    long n = all ? c->waiters : (c->waiters > 0 ? 1 : 0);
    c->waiters -= n;
    if (n > 0) ReleaseSemaphore(c->wake, n, nullptr);
    LeaveCriticalSection(&c->section);
    return 0;
}

int HL_APIENTRY htCondSignal(HTcond* cond) { return Wake(cond, false); }
int HL_APIENTRY htCondBroadcast(HTcond* cond) { return Wake(cond, true); }

int HL_APIENTRY htCondDestroy(HTcond* cond) {
    if (!cond || !*cond) return EINVAL;
    ht_cond_t* c = *cond;
    CloseHandle(c->wake);
    DeleteCriticalSection(&c->section);
    delete c;
    *cond = nullptr;
    return 0;
}

}  // extern "C"

#else  // POSIX threads

struct ht_mutex_t {
    pthread_mutex_t mutex;
};

struct ht_cond_t {
    pthread_mutex_t mutex;
    pthread_cond_t cond;
};

extern "C" {

HThreadID HL_APIENTRY htThreadCreate(HThreadFunc func, void* data, int joinable) {
    if (!func) return reinterpret_cast<HThreadID>(HT_INVALID);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, joinable ? PTHREAD_CREATE_JOINABLE : PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    int rc = pthread_create(&thread, &attr, func, data);
    pthread_attr_destroy(&attr);
    if (rc != 0) return reinterpret_cast<HThreadID>(HT_INVALID);
    return joinable ? reinterpret_cast<HThreadID>(thread) : nullptr;
}

int HL_APIENTRY htThreadJoin(HThreadID thread, void** status) {
    if (!thread || thread == reinterpret_cast<HThreadID>(HT_INVALID)) return EINVAL;
    return pthread_join(reinterpret_cast<pthread_t>(thread), status);
}

void HL_APIENTRY htThreadSleep(int mseconds) {
    if (mseconds <= 0) return;
    timespec left{mseconds / 1000, static_cast<long>(mseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void HL_APIENTRY htThreadYield(void) { sched_yield(); }

int HL_APIENTRY htMutexInit(HTmutex* mutex) {
    if (!mutex) return EINVAL;
    ht_mutex_t* m = new (std::nothrow) ht_mutex_t;
    if (!m) return ENOMEM;
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_ERRORCHECK);
    int rc = pthread_mutex_init(&m->mutex, &attr);
    pthread_mutexattr_destroy(&attr);
    if (rc != 0) {
        delete m;
        return rc;
    }
    *mutex = m;
    return 0;
}

int HL_APIENTRY htMutexLock(HTmutex* mutex) {
    if (!mutex || !*mutex) return EINVAL;
    return pthread_mutex_lock(&(*mutex)->mutex);
}

int HL_APIENTRY htMutexUnlock(HTmutex* mutex) {
    if (!mutex || !*mutex) return EINVAL;
    return pthread_mutex_unlock(&(*mutex)->mutex);
}

int HL_APIENTRY htMutexDestroy(HTmutex* mutex) {
    if (!mutex || !*mutex) return EINVAL;
    int rc = pthread_mutex_destroy(&(*mutex)->mutex);
    if (rc != 0) return rc;
    delete *mutex;
    *mutex = nullptr;
    return 0;
}

int HL_APIENTRY htCondInit(HTcond* cond) {
    if (!cond) return EINVAL;
    ht_cond_t* c = new (std::nothrow) ht_cond_t;
    if (!c) return ENOMEM;
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    int rc = pthread_cond_init(&c->cond, &attr);
    pthread_condattr_destroy(&attr);
    if (rc == 0) rc = pthread_mutex_init(&c->mutex, nullptr);
    if (rc != 0) {
        delete c;
        return rc;
    }
    *cond = c;
    return 0;
}

int HL_APIENTRY htCondWait(HTcond* cond, int timeout) {
    if (!cond || !*cond) return EINVAL;
    ht_cond_t* c = *cond;
    pthread_mutex_lock(&c->mutex);
    int rc;
    if (timeout <= 0) {
        rc = pthread_cond_wait(&c->cond, &c->mutex);
    } else {
        timespec until;
        clock_gettime(CLOCK_MONOTONIC, &until);
        until.tv_sec += timeout / 1000;
        until.tv_nsec += static_cast<long>(timeout % 1000) * 1000000L;
        if (until.tv_nsec >= 1000000000L) {
            until.tv_sec += 1;
            until.tv_nsec -= 1000000000L;
        }
        rc = pthread_cond_timedwait(&c->cond, &c->mutex, &until);
    }
    pthread_mutex_unlock(&c->mutex);
    return rc;
}

int HL_APIENTRY htCondSignal(HTcond* cond) {
    if (!cond || !*cond) return EINVAL;
    pthread_mutex_lock(&(*cond)->mutex);
    int rc = pthread_cond_signal(&(*cond)->cond);
    pthread_mutex_unlock(&(*cond)->mutex);
    return rc;
}

int HL_APIENTRY htCondBroadcast(HTcond* cond) {
    if (!cond || !*cond) return EINVAL;
    pthread_mutex_lock(&(*cond)->mutex);
    int rc = pthread_cond_broadcast(&(*cond)->cond);
    pthread_mutex_unlock(&(*cond)->mutex);
    return rc;
}

int HL_APIENTRY htCondDestroy(HTcond* cond) {
    if (!cond || !*cond) return EINVAL;
    pthread_cond_destroy(&(*cond)->cond);
    pthread_mutex_destroy(&(*cond)->mutex);
    delete *cond;
    *cond = nullptr;
    return 0;
}

}  // extern "C"

#endif

namespace nlimpl {

namespace {
struct Detached {
    void (*func)(void*);
    void* data;
};
void* RunDetached(void* p) {
    Detached d = *static_cast<Detached*>(p);
    delete static_cast<Detached*>(p);
    d.func(d.data);
    return nullptr;
}
}  // namespace

bool StartDetached(void (*func)(void*), void* data) {
    Detached* d = new (std::nothrow) Detached{func, data};
    if (!d) return false;
    if (htThreadCreate(RunDetached, d, HT_FALSE) == reinterpret_cast<HThreadID>(HT_INVALID)) {
        delete d;
        return false;
    }
    return true;
}

}  // namespace nlimpl
