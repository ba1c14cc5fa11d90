// COtxMap: the OTX Map, entries of key and value handles ordered by the keys' IsLessThan.
// The behaviour is itself the std::map that CKesmar::Map() returns; it is also the record in
// which JSON objects arrive. Keys of types that do not order against each other count as
// one key. Not synchronised: a map that one thread changes must not be used by another at
// the same time.
#pragma once

#include <map>
#include <string>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"

// The map's implementation: the std::map itself, changed in place by callers.
class KESMAR_API COtxMapBehaviour : public COtxComparableBehaviour,
                                    public std::map<CKesmar, CKesmar> {
 public:
  COtxMapBehaviour();
  // For each entry the key COtxString(name), the value shared.
  explicit COtxMapBehaviour(const std::map<const std::string, CKesmar>& values);
  // Shares keys and values; type is the value type to carry (MAP for COtxMap).
  COtxMapBehaviour(const std::map<CKesmar, CKesmar>& entries, OTX::ValueType type);
  ~COtxMapBehaviour() override;

  // "key:value" per entry in key order (stream forms at indent 0), separated by ", ".
  CKesmar ToString() const override;
  // "{", one "key: value" per line indented by indent + 2, "}"; "<empty>" for no entries.
  std::ostream& ToStream(std::ostream& stream, int indent) const override;
  // Sets the flag on the map and on every mapped value; keys keep theirs.
  void SetOtxJSON(bool otxJson) override;
  // {"<key's ToString()>":<value's ToJSON()>,...}; every element in the form its own flag selects.
  CKesmar ToJSON() const override;
  // {"type":"MAP","value":{...}}.
  CKesmar ToJSONObject() const override;
  void WriteJSON(std::string& out, bool objectForm) const override;
  std::map<CKesmar, CKesmar>& Map() override { return *this; }

 protected:
  // Lexicographic comparison of the entries (key, then value) with other maps.
  bool Compare(Comparison op, const CKesmar& other) const override;
};

// A new map. Its object form reads back when every mapped value's object form does; keys
// come back as strings.
class KESMAR_API COtxMap : public CKesmar {
 public:
  COtxMap();
  // Shares keys and values.
  explicit COtxMap(const std::map<CKesmar, CKesmar>& entries);
  // For each entry the key COtxString(name), the value shared.
  explicit COtxMap(const std::map<const std::string, CKesmar>& values);
  // From the JSON object form: "value" is a map whose values are object forms, each read
  // with OTX::OtxMapToKesmar; the keys are kept.
  explicit COtxMap(const CKesmar& object);
  COtxMap(const COtxMap&) = default;
  COtxMap& operator=(const COtxMap&) = default;
  ~COtxMap() override;
};
