// COtxList: the OTX List, an ordered sequence of value handles of any types. The behaviour
// is itself the std::vector that CKesmar::List() returns, so callers change it in place and
// every handle to the list sees the change. Not synchronised: a list that one thread
// changes must not be used by another at the same time.
#pragma once

#include <vector>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"

// The list's implementation: the element vector itself, changed in place by callers.
class KESMAR_API COtxListBehaviour : public COtxComparableBehaviour, public std::vector<CKesmar> {
 public:
  COtxListBehaviour();
  // Shares the given element values.
  explicit COtxListBehaviour(const std::vector<CKesmar>& elements);
  ~COtxListBehaviour() override;

  // Elements' stream forms at indent 0, separated by ", ".
  CKesmar ToString() const override;
  // "[", one element per line indented by indent + 2, "]"; "<empty>" for no elements.
  std::ostream& ToStream(std::ostream& stream, int indent) const override;
  // Sets the flag on the list and on every element.
  void SetOtxJSON(bool otxJson) override;
  // [<elements' ToJSON()>,...]; every element in the form its own flag selects.
  CKesmar ToJSON() const override;
  // {"type":"LIST","value":[...]}.
  CKesmar ToJSONObject() const override;
  void WriteJSON(std::string& out, bool objectForm) const override;
  std::vector<CKesmar>& List() override { return *this; }

 protected:
  // Lexicographic comparison of the elements with other lists.
  bool Compare(Comparison op, const CKesmar& other) const override;
};

// A new list. Its object form reads back when every element's object form does; the first
// element that does not fails the whole list.
class KESMAR_API COtxList : public CKesmar {
 public:
  COtxList();
  // Shares the given element values.
  explicit COtxList(const std::vector<CKesmar>& elements);
  // From the JSON object form: "value" is a list of object forms, each read with
  // OTX::OtxMapToKesmar. (A one-element braced list, COtxList({x}), selects this
  // constructor; write COtxList(std::vector<CKesmar>{x}) for a list of one element.)
  explicit COtxList(const CKesmar& object);
  COtxList(const COtxList&) = default;
  COtxList& operator=(const COtxList&) = default;
  ~COtxList() override;
};
