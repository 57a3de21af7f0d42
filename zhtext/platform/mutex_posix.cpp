#include "zhtext/platform/mutex.h"

#include <pthread.h>

#include <cstdlib>

namespace zhtext {
namespace platform {

// A recursive pthread mutex: the owner may wait again, as with the kernel
// mutexes this stands in for.
struct Mutex::Impl {
  pthread_mutex_t mutex;
};

Mutex::Mutex() : impl_(new Impl) {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  if (pthread_mutex_init(&impl_->mutex, &attr) != 0) std::abort();
  pthread_mutexattr_destroy(&attr);
}

Mutex::~Mutex() {
  pthread_mutex_destroy(&impl_->mutex);
  delete impl_;
}

void Mutex::Wait() {
  if (pthread_mutex_lock(&impl_->mutex) != 0) std::abort();
}

void Mutex::Release() { pthread_mutex_unlock(&impl_->mutex); }

}  // namespace platform
}  // namespace zhtext
