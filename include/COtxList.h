// COtxList: the OTX List, an ordered sequence of value handles of any types. The behaviour
// is itself the std::vector that CKesmar::List() returns, so callers change it in place and
// every handle to the list sees the change. Not synchronised: a list that one thread
// changes must not be used by another at the same time.
#pragma once

#include <vector>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"

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
  std::vector<CKesmar>& List() override { return *this; }

 protected:
  // Lexicographic comparison of the elements with other lists.
  bool Compare(Comparison op, const CKesmar& other) const override;
};

class KESMAR_API COtxList : public CKesmar {
 public:
  COtxList();
  // Shares the given element values.
  explicit COtxList(const std::vector<CKesmar>& elements);
  COtxList(const COtxList&) = default;
  COtxList& operator=(const COtxList&) = default;
  ~COtxList() override;
};
