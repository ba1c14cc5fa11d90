#include "PelmUtils.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace PelmUtil {
namespace {

struct Groups {
  std::shared_mutex mutex;
  std::unordered_map<std::thread::id, std::thread::id> groupOf;
};

Groups& TheGroups() {
  static Groups groups;
  return groups;
}

}  // namespace

std::thread::id ThreadGroup::GetThreadGroupId(std::thread::id thread) {
  Groups& groups = TheGroups();
  std::shared_lock lock(groups.mutex);
  const auto found = groups.groupOf.find(thread);
  return found == groups.groupOf.end() ? std::thread::id() : found->second;
}

void ThreadGroup::Add(std::thread::id thread, std::thread::id group) {
  Groups& groups = TheGroups();
  std::unique_lock lock(groups.mutex);
  groups.groupOf[thread] = group;
}

void ThreadGroup::Remove(std::thread::id thread) {
  Groups& groups = TheGroups();
  std::unique_lock lock(groups.mutex);
  groups.groupOf.erase(thread);
}

}  // namespace PelmUtil
