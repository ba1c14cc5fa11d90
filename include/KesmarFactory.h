// The value factory: makes a value of a named type from its JSON object form (a MAP with
// string keys). Each creatable type has one creator, a static object that registers itself
// while the library loads; callers may register their own creators, which replace earlier
// ones under the same type name. Registration and creation are thread-safe.
#pragma once

#include <map>
#include <shared_mutex>
#include <string>

#include "CKesmar.h"
#include "KesmarExport.h"

// The base of the creators; a creator registers itself when constructed.
class KESMAR_API KesmarCreatorBase {
 public:
  // Registers this creator under the name of type.
  explicit KesmarCreatorBase(OTX::ValueType type);
  KesmarCreatorBase(const KesmarCreatorBase&) = default;
  KesmarCreatorBase& operator=(const KesmarCreatorBase&) = default;
  // Does not unregister: creators live as long as the library.
  virtual ~KesmarCreatorBase();

  // The value made from the object form; throws what the type's constructor throws.
  virtual CKesmar Create(const CKesmar& object) = 0;
};

// The creator of handle type T, which must have an explicit constructor from the object form.
template <class T>
class KesmarCreator : public KesmarCreatorBase {
 public:
  explicit KesmarCreator(OTX::ValueType type) : KesmarCreatorBase(type) {}
  CKesmar Create(const CKesmar& object) override { return T(object); }
};

// The registry of creators by class key. The library registers BOOLEAN, INTEGER, FLOAT,
// STRING, BYTEFIELD, LIST, MAP, EXCEPTION, QUANTITY, UNIT, CONFIRMATION_TYPE, MESSAGE_TYPE
// and ENUMERATION_ITEM. The object forms of EMPTY, STRING_ENCODING, LOG_LEVEL, RESULT_STATE,
// RESPONSE_STATE, COM_CHANNEL_STATE, EVENT, the event sources and FILE_READ_HANDLE have no
// creator and do not read back ("Class key not registered: <key>"); nor does an EXCEPTION of
// the generic identifier 0 (see COtxException).
class KESMAR_API KesmarFactory {
 public:
  // The process's factory, made on first use and never destroyed.
  static KesmarFactory* Instance();

  virtual ~KesmarFactory();

  // creator (not owned) makes values of type from now on.
  void Register(OTX::ValueType type, KesmarCreatorBase* creator);
  // The value that the creator registered under classKey (exact match) makes from object.
  // An unknown key throws std::runtime_error "Class key not registered: <key>"; the type's
  // own failures pass through unchanged.
  CKesmar Create(const std::string& classKey, const CKesmar& object) const;

 private:
  KesmarFactory() = default;

  mutable std::shared_mutex m_mutex;
  std::map<std::string, KesmarCreatorBase*> m_creators;
};
