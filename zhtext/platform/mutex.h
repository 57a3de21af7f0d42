// Unnamed mutex: the lock that a reader or a free list creates for itself.
//
// Wait() blocks without a time-out until the calling thread owns the mutex;
// Release() gives it up. Like the kernel mutexes it stands in for, the owner
// may wait again without deadlocking and must release once per wait.
// A Mutex is neither copyable nor movable; it may be shared by any threads.
#ifndef ZHTEXT_PLATFORM_MUTEX_H_
#define ZHTEXT_PLATFORM_MUTEX_H_

namespace zhtext {
namespace platform {

class Mutex {
 public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  // Blocks until the calling thread owns the mutex.
  void Wait();
  // REQUIRES: the calling thread owns the mutex.
  void Release();

 private:
  struct Impl;
  Impl* impl_;
};

// Holds a Mutex for the lifetime of the object.
class MutexLock {
 public:
  explicit MutexLock(Mutex* mutex) : mutex_(mutex) { mutex_->Wait(); }
  ~MutexLock() { mutex_->Release(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  Mutex* mutex_;
};

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_MUTEX_H_
