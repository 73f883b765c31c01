#include "FailingCalls.h"

#include <atomic>
#include <cerrno>

#include <dlfcn.h>
#include <pthread.h>
#include <sys/stat.h>

// No system header declares these functions in this file, so that the
// definitions below need not repeat their exception specifications.

namespace {

std::atomic<int> g_syncError{0};
std::atomic<int> g_renameError{0};
std::atomic<int> g_threadError{0};
std::atomic<int> g_failedCalls{0};
std::atomic<int> g_folderSyncs{0};
std::atomic<int> g_renames{0};

void countSync(int descriptor) {
    struct stat info {};
    if (::fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
        ++g_folderSyncs;
    }
}

std::atomic<int>& errorFor(failing_calls::Call call) {
    switch (call) {
    case failing_calls::Call::Sync: return g_syncError;
    case failing_calls::Call::Rename: return g_renameError;
    case failing_calls::Call::ThreadStart: break;
    }
    return g_threadError;
}

bool fails(const std::atomic<int>& error) {
    const int code = error.load();
    if (code == 0) {
        return false;
    }
    ++g_failedCalls;
    errno = code;
    return true;
}

template <typename Function> Function next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// pthread_create as the sanitizers' runtime wraps it when there is one (linked
// into the program, it would otherwise be passed over), else the C library's.
using ThreadStart = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
ThreadStart nextThreadStart() {
    static const ThreadStart start = [] {
        if (void* wrapped = ::dlsym(RTLD_DEFAULT, "__interceptor_pthread_create")) {
            return reinterpret_cast<ThreadStart>(wrapped);
        }
        return next<ThreadStart>("pthread_create");
    }();
    return start;
}

} // namespace

namespace failing_calls {

Failure::Failure(Call call, int error) : m_call(call) {
    g_failedCalls = 0;
    errorFor(call) = error;
}

Failure::~Failure() { errorFor(m_call) = 0; }

int Failure::failedCalls() const { return g_failedCalls.load(); }

int folderSyncs() { return g_folderSyncs.load(); }

int renames() { return g_renames.load(); }

} // namespace failing_calls

extern "C" {

int fsync(int descriptor) {
    countSync(descriptor);
    return fails(g_syncError) ? -1 : next<int (*)(int)>("fsync")(descriptor);
}

int fdatasync(int descriptor) {
    countSync(descriptor);
    return fails(g_syncError) ? -1 : next<int (*)(int)>("fdatasync")(descriptor);
}

int rename(const char* from, const char* to) {
    ++g_renames;
    return fails(g_renameError) ? -1 : next<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    return fails(g_renameError)
               ? -1
               : next<int (*)(int, const char*, int, const char*)>("renameat")(fromFolder, from, toFolder, to);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    return fails(g_renameError) ? -1
                                : next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(
                                      fromFolder, from, toFolder, to, flags);
}

// Declared by <pthread.h>, which the C++ library's headers bring in, hence
// its exception specification.
int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) noexcept {
    if (const int code = g_threadError.load(); code != 0) {
        ++g_failedCalls;
        return code; // pthread functions return the error rather than set errno
    }
    return nextThreadStart()(thread, attributes, start, argument);
}

} // extern "C"
