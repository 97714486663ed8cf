/* Threads, mutexes and conditions of the network library (HawkThreads 1.0
   names and values), over the platform's own threads. */
#ifndef HAWKTHREADS_H
#define HAWKTHREADS_H

#include "hawklib.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HT_VERSION_STRING "HawkThreads 1.0"
#define HT_INVALID (-1)
#define HT_FALSE 0
#define HT_TRUE 1

typedef void *(*HThreadFunc)(void *data);
typedef void *HThreadID;
typedef struct ht_mutex_t *HTmutex;
typedef struct ht_cond_t *HTcond;

/* A joinable thread gives its id; a detached one gives NULL on success.
   Failure gives (HThreadID)HT_INVALID in both cases. */
HL_EXP HThreadID HL_APIENTRY htThreadCreate(HThreadFunc func, void *data, int joinable);
/* 0 and the thread's result, or an error number. */
HL_EXP int HL_APIENTRY htThreadJoin(HThreadID thread, void **status);
/* Sleeps the given milliseconds (0 or less: none). */
HL_EXP void HL_APIENTRY htThreadSleep(int mseconds);
HL_EXP void HL_APIENTRY htThreadYield(void);

/* Error-checking, not recursive: 0 or an errno value (EDEADLK for a second
   lock by the owner, EPERM for an unlock by another thread, EINVAL for a
   NULL pointer or handle). Destroy frees the mutex and sets the handle NULL. */
HL_EXP int HL_APIENTRY htMutexInit(HTmutex *mutex);
HL_EXP int HL_APIENTRY htMutexLock(HTmutex *mutex);
HL_EXP int HL_APIENTRY htMutexUnlock(HTmutex *mutex);
HL_EXP int HL_APIENTRY htMutexDestroy(HTmutex *mutex);

/* A condition with its own internal mutex and no predicate: a signal with
   no thread waiting is lost. Wait with timeout 0 or less waits until
   signalled; with a timeout it gives ETIMEDOUT on expiry. */
HL_EXP int HL_APIENTRY htCondInit(HTcond *cond);
HL_EXP int HL_APIENTRY htCondWait(HTcond *cond, int timeout);
HL_EXP int HL_APIENTRY htCondSignal(HTcond *cond);
HL_EXP int HL_APIENTRY htCondBroadcast(HTcond *cond);
HL_EXP int HL_APIENTRY htCondDestroy(HTcond *cond);

#ifdef __cplusplus
}
#endif

#endif
