// Behaviour bases shared by the value types that compare or calculate. Each routes its
// group of virtual operations into one function of the value type, so a type writes one
// three-way comparison and one arithmetic dispatch instead of eleven near-identical bodies.
#pragma once

#include <compare>

#include "CKesmar.h"
#include "CKesmarBehaviour.h"
#include "KesmarExport.h"

// A behaviour whose six comparisons are answered by one Compare(op, other).
class KESMAR_API COtxComparableBehaviour : public CKesmarBehaviour {
 public:
  enum class Comparison { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

  using CKesmarBehaviour::CKesmarBehaviour;

  bool IsEqual(const CKesmar& other) const override;
  bool IsNotEqual(const CKesmar& other) const override;
  bool IsLessThan(const CKesmar& other) const override;
  bool IsLessThanOrEqual(const CKesmar& other) const override;
  bool IsGreaterThan(const CKesmar& other) const override;
  bool IsGreaterThanOrEqual(const CKesmar& other) const override;

 protected:
  // Answers "this <op> other".
  virtual bool Compare(Comparison op, const CKesmar& other) const = 0;

  // The answer of op for a three-way result; an unordered result (NaN, values of types
  // that do not compare) makes NotEqual true and every other operation false.
  static bool Answer(Comparison op, std::partial_ordering order);
  // The three-way result of values that only know a strict "less" test (containers): neither
  // smaller counts as equivalent, so <= is "not greater" and >= is "not less".
  static std::partial_ordering FromLess(bool less, bool greater);
  // "left <op> right" through the handle operators, i.e. asking left's behaviour.
  static bool Apply(Comparison op, const CKesmar& left, const CKesmar& right);
};

// A comparable behaviour whose five arithmetic operations go through one Calculate.
class KESMAR_API COtxArithmeticBehaviour : public COtxComparableBehaviour {
 public:
  enum class Arithmetic { Multiply, Divide, Add, Subtract, Modulo };

  using COtxComparableBehaviour::COtxComparableBehaviour;

  CKesmar Multiply(const CKesmar& other) const override;
  CKesmar Divide(const CKesmar& other) const override;
  CKesmar Add(const CKesmar& other) const override;
  CKesmar Subtract(const CKesmar& other) const override;
  CKesmar Modulo(const CKesmar& other) const override;

 protected:
  // Computes "this <op> other" as a new value.
  virtual CKesmar Calculate(Arithmetic op, const CKesmar& other) const = 0;

  using COtxComparableBehaviour::Apply;
  // "left <op> right" through the handle operators.
  static CKesmar Apply(Arithmetic op, const CKesmar& left, const CKesmar& right);
};
