// Thread pools on plain std::thread, usable before the GUI exists. Threads are made as work
// needs them, up to the pool's maximum, and wait for more work once done. Pools live until
// the process ends.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "gui_runtime.h"

namespace {

struct Job {
  int id;
  ThreadFunctionPtr function;
  void* functionData;
  ThreadFunctionCallbackPtr callback;
  unsigned int callbackEvents;
  void* callbackData;
  bool done = false;
};

class Pool {
 public:
  Pool(CmtThreadPoolHandle handle, int maxThreads) : handle_(handle), maxThreads_(maxThreads) {}

  // `tracked`: kept until waited for.
  void schedule(const std::shared_ptr<Job>& job, bool tracked) {
    std::lock_guard lock(mutex_);
    if (tracked) jobs_.emplace(job->id, job);
    queue_.push_back(job);
    if (queue_.size() > std::size_t(idle_) && threads_ < maxThreads_) {
      ++threads_;
      std::thread([this] { work(); }).detach();
    }
    workAvailable_.notify_one();
  }

  // False for an id that is not scheduled here or has been waited for already.
  bool wait(int id) {
    std::unique_lock lock(mutex_);
    const auto it = jobs_.find(id);
    if (it == jobs_.end()) return false;
    const std::shared_ptr<Job> job = it->second;
    jobDone_.wait(lock, [&] { return job->done; });
    jobs_.erase(id);
    return true;
  }

 private:
  void work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      ++idle_;
      workAvailable_.wait(lock, [this] { return !queue_.empty(); });
      --idle_;
      const std::shared_ptr<Job> job = queue_.front();
      queue_.pop_front();
      lock.unlock();
      run(*job);
      lock.lock();
      job->done = true;
      jobDone_.notify_all();
    }
  }

  void run(const Job& job) const {
    const auto notify = [&](unsigned int event, int value) {
      if (job.callback && (job.callbackEvents & event)) {
        job.callback(handle_, job.id, event, value, job.callbackData);
      }
    };
    notify(EVENT_TP_THREAD_FUNCTION_BEGIN, 0);
    const int result = job.function(job.functionData);
    notify(EVENT_TP_THREAD_FUNCTION_END, result);
  }

  const CmtThreadPoolHandle handle_;
  const int maxThreads_;
  std::mutex mutex_;
  std::condition_variable workAvailable_;
  std::condition_variable jobDone_;
  std::deque<std::shared_ptr<Job>> queue_;
  std::unordered_map<int, std::shared_ptr<Job>> jobs_;
  int threads_ = 0;
  int idle_ = 0;
};

struct Pools {
  std::mutex mutex;
  std::vector<Pool*> pools;  // handle h is pools[h - 1]
  int lastFunctionId = 0;
};

Pools& pools() {
  static Pools& p = *new Pools;
  return p;
}

Pool* findPool(CmtThreadPoolHandle handle) {
  Pools& p = pools();
  std::lock_guard lock(p.mutex);
  return handle >= 1 && std::size_t(handle) <= p.pools.size() ? p.pools[std::size_t(handle) - 1] : nullptr;
}

}  // namespace

int CmtNewThreadPool(int maxThreads, CmtThreadPoolHandle* poolHandle) {
  if (maxThreads < 1 || !poolHandle) return UIE_BAD_ARGUMENT;
  Pools& p = pools();
  std::lock_guard lock(p.mutex);
  const auto handle = CmtThreadPoolHandle(p.pools.size() + 1);
  p.pools.push_back(new Pool(handle, maxThreads));
  *poolHandle = handle;
  return 0;
}

int CmtScheduleThreadPoolFunctionAdv(CmtThreadPoolHandle poolHandle, ThreadFunctionPtr function,
                                     void* functionData, int /*priority*/,
                                     ThreadFunctionCallbackPtr callback,
                                     unsigned int callbackEventMask, void* callbackData,
                                     unsigned long callbackThreadID, int* functionID) {
  Pool* pool = findPool(poolHandle);
  // Callbacks run on the pool thread only; no other thread takes them.
  if (!pool || !function || callbackThreadID != 0) return UIE_BAD_ARGUMENT;
  int id = 0;
  {
    Pools& p = pools();
    std::lock_guard lock(p.mutex);
    id = ++p.lastFunctionId;
  }
  if (functionID) *functionID = id;
  pool->schedule(std::make_shared<Job>(Job{id, function, functionData, callback, callbackEventMask, callbackData}),
                 functionID != nullptr);
  return 0;
}

int CmtWaitForThreadPoolFunctionCompletion(CmtThreadPoolHandle poolHandle, int functionID, int) {
  Pool* pool = findPool(poolHandle);
  if (!pool || !pool->wait(functionID)) return UIE_BAD_ARGUMENT;
  return 0;
}
