// OtxVariable: the storage cell of one sequence variable. Besides its current value it keeps
// the event sources that watch the variable; every assignment puts a deep copy of the new
// value, under the variable's name, into each of them. Not synchronised: a variable belongs to
// the thread that runs its sequence (the sources it feeds do their own locking). Exceptions of
// the sources and of the deep copy pass through; the value is assigned before any is thrown.
#pragma once

#include <list>
#include <string>
#include <utility>

#include "CKesmar.h"
#include "KesmarExport.h"

// One variable's value and the event sources that watch it; throws what the sources throw.
class KESMAR_API OtxVariable {
 public:
  // Holds value itself (shared, not copied); no sources.
  explicit OtxVariable(const CKesmar& value);
  // Releases the value and the sources without closing them.
  virtual ~OtxVariable();

  // Holds value and puts an event (deep copy of value, name) into every source, in the order
  // they were attached; what Put returns is ignored.
  virtual void Set(const CKesmar& value);
  // Calls the virtual Set; returns value.
  const CKesmar& operator=(const CKesmar& value);
  // The value held.
  const CKesmar& Get() const { return m_value; }

  // Attaches source under name, after the sources attached before (duplicates allowed);
  // a value that is not an EVENT_SOURCE is ignored.
  void AddEventSource(const std::string& name, const CKesmar& source);
  // Closes every attached source, in order; they stay attached.
  void Close();

 private:
  CKesmar m_value;
  // (name as a STRING value, source) in order of attachment.
  std::list<std::pair<CKesmar, CKesmar>> m_watchers;
};
