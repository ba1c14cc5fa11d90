#include "COtxOperatorBehaviours.h"

bool COtxComparableBehaviour::IsEqual(const CKesmar& other) const {
  return Compare(Comparison::Equal, other);
}
bool COtxComparableBehaviour::IsNotEqual(const CKesmar& other) const {
  return Compare(Comparison::NotEqual, other);
}
bool COtxComparableBehaviour::IsLessThan(const CKesmar& other) const {
  return Compare(Comparison::Less, other);
}
bool COtxComparableBehaviour::IsLessThanOrEqual(const CKesmar& other) const {
  return Compare(Comparison::LessOrEqual, other);
}
bool COtxComparableBehaviour::IsGreaterThan(const CKesmar& other) const {
  return Compare(Comparison::Greater, other);
}
bool COtxComparableBehaviour::IsGreaterThanOrEqual(const CKesmar& other) const {
  return Compare(Comparison::GreaterOrEqual, other);
}

bool COtxComparableBehaviour::Answer(Comparison op, std::partial_ordering order) {
  switch (op) {
    case Comparison::Equal: return order == 0;
    case Comparison::NotEqual: return order != 0;
    case Comparison::Less: return order < 0;
    case Comparison::LessOrEqual: return order <= 0;
    case Comparison::Greater: return order > 0;
    case Comparison::GreaterOrEqual: return order >= 0;
  }
  return false;
}

std::partial_ordering COtxComparableBehaviour::FromLess(bool less, bool greater) {
  if (less) return std::partial_ordering::less;
  return greater ? std::partial_ordering::greater : std::partial_ordering::equivalent;
}

bool COtxComparableBehaviour::Apply(Comparison op, const CKesmar& left, const CKesmar& right) {
  switch (op) {
    case Comparison::Equal: return left == right;
    case Comparison::NotEqual: return left != right;
    case Comparison::Less: return left < right;
    case Comparison::LessOrEqual: return left <= right;
    case Comparison::Greater: return left > right;
    case Comparison::GreaterOrEqual: return left >= right;
  }
  return false;
}

CKesmar COtxArithmeticBehaviour::Multiply(const CKesmar& other) const {
  return Calculate(Arithmetic::Multiply, other);
}
CKesmar COtxArithmeticBehaviour::Divide(const CKesmar& other) const {
  return Calculate(Arithmetic::Divide, other);
}
CKesmar COtxArithmeticBehaviour::Add(const CKesmar& other) const {
  return Calculate(Arithmetic::Add, other);
}
CKesmar COtxArithmeticBehaviour::Subtract(const CKesmar& other) const {
  return Calculate(Arithmetic::Subtract, other);
}
CKesmar COtxArithmeticBehaviour::Modulo(const CKesmar& other) const {
  return Calculate(Arithmetic::Modulo, other);
}

CKesmar COtxArithmeticBehaviour::Apply(Arithmetic op, const CKesmar& left, const CKesmar& right) {
  switch (op) {
    case Arithmetic::Multiply: return left * right;
    case Arithmetic::Divide: return left / right;
    case Arithmetic::Add: return left + right;
    case Arithmetic::Subtract: return left - right;
    case Arithmetic::Modulo: return left % right;
  }
  return left;  // not reached: every operation is handled above
}
