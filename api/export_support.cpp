#include "export_support.h"

namespace teds {

std::string& lastErrorText() {
  thread_local std::string text;
  return text;
}

std::recursive_mutex& libraryLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace teds
