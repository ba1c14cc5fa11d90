#include "OtxVariable.h"

#include "COtxEventSource.h"
#include "COtxString.h"
#include "OtxGeneric.h"

OtxVariable::OtxVariable(const CKesmar& value) : m_value(value) {}

OtxVariable::~OtxVariable() = default;

void OtxVariable::Set(const CKesmar& value) {
  m_value = value;
  for (const auto& [name, source] : m_watchers) {
    source.EventSource().Put(OTX::DeepCopy(value), name);
  }
}

const CKesmar& OtxVariable::operator=(const CKesmar& value) {
  Set(value);
  return value;
}

void OtxVariable::AddEventSource(const std::string& name, const CKesmar& source) {
  if (source.Type() != OTX::EVENT_SOURCE) return;
  m_watchers.emplace_back(COtxString(name), source);
}

void OtxVariable::Close() {
  for (const auto& watcher : m_watchers) watcher.second.EventSource().Close();
}
