// The bound on the nesting of lists and maps that every recursive operation over containers
// (stream and string forms, JSON writers, object-form readers, comparisons, the key order,
// deep copies, the OTX-JSON flag) keeps. Each such operation holds one NestingGuard per
// container level it enters. The guards of a thread form a chain on that thread's stack;
// entering one costs an increment, a compare and two stores, and the chain is only walked
// when the bound is hit, to tell a container that holds itself from a merely deep tree.
// A refusal marks every guard of the chain: until the refused walk has unwound, anything
// entered beneath them (an error handler describing the value, say) fails at once with the
// same message instead of walking the whole depth again.
#pragma once

#include <string>

#include "core/detail/Errors.h"

namespace kesmar::detail {

// The deepest nesting of containers an operation enters. Every tree the JSON reader builds
// (at most OTX::kMaxJSONDepth = 512 levels) can be written, copied and compared again, and so
// can ordinary deep work such as a list nested 1,000 levels. The costliest walk, == of two
// lists, takes about 1.5 KB of stack per level in the AddressSanitizer debug build (500 to
// 900 bytes for the others), so the whole depth needs about 1.5 MB: a fifth of a thread's
// default 8 MB stack, and within even a 2 MB one.
inline constexpr int kMaxNesting = 1024;

class NestingGuard {
 public:
  // Enters the container at address container (the list's vector or the map's std::map, so
  // that every operation names a container by the same address); kind is its type name.
  // Throws OutOfBoundsException "<kind> contains itself" when the container is already being
  // walked, or "Nesting deeper than <kMaxNesting> levels", once the bound is reached.
  NestingGuard(const void* container, const char* kind)
      : m_container(container), m_outer(t_top), m_depth(m_outer ? m_outer->m_depth + 1 : 1) {
    if (m_depth > kMaxNesting) [[unlikely]]
      Refuse(kind);
    t_top = this;
  }
  ~NestingGuard() { t_top = m_outer; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  [[noreturn]] void Refuse(const char* kind) const {
    if (m_outer->m_refused) ThrowOutOfBounds(t_refusal);
    t_refusal = "Nesting deeper than " + std::to_string(kMaxNesting) + " levels";
    for (const NestingGuard* level = m_outer; level != nullptr; level = level->m_outer) {
      if (level->m_container == m_container) t_refusal = std::string(kind) + " contains itself";
      level->m_refused = true;
      level->m_depth = kMaxNesting;
    }
    ThrowOutOfBounds(t_refusal);
  }

  // The message of this thread's last refusal.
  static inline thread_local std::string t_refusal;

  // The innermost guard of this thread; guards leave in reverse order of entry. Initial-exec:
  // a fixed offset from the thread pointer, no lookup per access.
  [[gnu::tls_model("initial-exec")]] static inline thread_local const NestingGuard* t_top = nullptr;

  const void* m_container;
  const NestingGuard* m_outer;
  mutable int m_depth;
  mutable bool m_refused = false;
};

}  // namespace kesmar::detail
