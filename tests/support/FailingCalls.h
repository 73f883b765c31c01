#pragma once

// Makes the system calls that put a file on the disk, and the one that starts
// a thread, fail on demand, in the whole test process, Qt's calls included:
// the test program's own fsync, fdatasync, rename and pthread_create
// functions take the place of the C library's (the program's symbols come
// first), and pass every call on to it unless a failure is asked for. A
// failed pthread_create makes std::thread and std::async throw
// std::system_error. Linux only.
namespace failing_calls {

enum class Call { Sync, Rename, ThreadStart };

// While it lives, every call of that kind fails with that errno.
class Failure {
public:
    Failure(Call call, int error);
    ~Failure();
    Failure(const Failure&) = delete;
    Failure& operator=(const Failure&) = delete;

    // How many calls failed so far.
    int failedCalls() const;

private:
    Call m_call;
};

// How many calls of fsync were made on a folder's descriptor, and of rename,
// since the program began: which calls a replacement asks for.
int folderSyncs();
int renames();

} // namespace failing_calls
