// A re-entrant lock with explicit Lock and Unlock, as the add-in's shared state uses it.
#pragma once

#include <mutex>

namespace tp {

class ICriticalSection {
 public:
  virtual ~ICriticalSection() = default;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
};

// Re-entrant like a Windows critical section: the owning thread may enter it again.
class CriticalSection final : public ICriticalSection {
 public:
  void Lock() override { m_mutex.lock(); }
  void Unlock() override { m_mutex.unlock(); }

 private:
  std::recursive_mutex m_mutex;
};

// Holds a critical section for a scope.
class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(ICriticalSection& section) : m_section(section) { m_section.Lock(); }
  ~CriticalSectionLock() { m_section.Unlock(); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

 private:
  ICriticalSection& m_section;
};

}  // namespace tp
