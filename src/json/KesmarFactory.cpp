#include "KesmarFactory.h"

#include <mutex>
#include <stdexcept>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxConfirmationType.h"
#include "COtxEnumerationItem.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxMessageType.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"

KesmarCreatorBase::KesmarCreatorBase(OTX::ValueType type) {
  KesmarFactory::Instance()->Register(type, this);
}

KesmarCreatorBase::~KesmarCreatorBase() = default;

// Creators register from static constructors in any order, so the factory is made by the
// first of them. It is never deleted: creators of other libraries may still use it while
// statics are destroyed.
KesmarFactory* KesmarFactory::Instance() {
  static KesmarFactory* const instance = new KesmarFactory();
  return instance;
}

KesmarFactory::~KesmarFactory() = default;

void KesmarFactory::Register(OTX::ValueType type, KesmarCreatorBase* creator) {
  const std::unique_lock lock(m_mutex);
  m_creators[CKesmar::StringType(type)] = creator;
}

CKesmar KesmarFactory::Create(const std::string& classKey, const CKesmar& object) const {
  KesmarCreatorBase* creator = nullptr;
  {
    const std::shared_lock lock(m_mutex);
    const auto found = m_creators.find(classKey);
    if (found != m_creators.end()) creator = found->second;
  }
  // Called without the lock: lists and maps create their elements through this factory, and
  // a nested shared lock could wait behind a queued registration forever.
  if (creator == nullptr) throw std::runtime_error("Class key not registered: " + classKey);
  return creator->Create(object);
}

namespace {

// The types that read back from their JSON object form; each registers while the library
// loads. No other class key is known: string encodings, log levels, result, response and
// channel states, events, event sources, file handles and EMPTY fail with "Class key not
// registered".
KesmarCreator<COtxBool> boolCreator(OTX::BOOLEAN);
KesmarCreator<COtxInt> intCreator(OTX::INTEGER);
KesmarCreator<COtxFloat> floatCreator(OTX::FLOAT);
KesmarCreator<COtxString> stringCreator(OTX::STRING);
KesmarCreator<COtxByteField> byteFieldCreator(OTX::BYTEFIELD);
KesmarCreator<COtxList> listCreator(OTX::LIST);
KesmarCreator<COtxMap> mapCreator(OTX::MAP);
KesmarCreator<COtxException> exceptionCreator(OTX::EXCEPTION);
KesmarCreator<COtxQuantity> quantityCreator(OTX::QUANTITY);
KesmarCreator<COtxUnit> unitCreator(OTX::UNIT);
KesmarCreator<COtxConfirmationType> confirmationTypeCreator(OTX::CONFIRMATION_TYPE);
KesmarCreator<COtxMessageType> messageTypeCreator(OTX::MESSAGE_TYPE);
KesmarCreator<COtxEnumerationItem> enumerationItemCreator(OTX::ENUMERATION_ITEM);

}  // namespace
