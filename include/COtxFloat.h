// COtxFloat: the OTX Float, an IEEE 754 double with a display precision. The precision
// steers the text form and the tolerance of equality; arithmetic ignores it and gives
// results of precision 16. Immutable; safe to share between threads.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"

// A new float; only the object-form constructor throws. The object form reads back.
class KESMAR_API COtxFloat : public CKesmar {
 public:
  // Precision: 16 (the largest kept) writes 16 significant digits, 0 to 15 that many
  // decimals, a negative p rounds to a multiple of 10^-p.
  explicit COtxFloat(double value = 0.0, int precision = 16);
  // From the JSON object form: "displayPrecision" (taken unchanged) and "value" (a float
  // or an integer). Throws std::out_of_range "invalid map<K, T> key" for a missing member.
  explicit COtxFloat(const CKesmar& object);
  COtxFloat(const COtxFloat&) = default;
  COtxFloat& operator=(const COtxFloat&) = default;
  ~COtxFloat() override;
};

// The float's implementation: the double and its display precision.
class KESMAR_API COtxFloatBehaviour : public COtxArithmeticBehaviour {
 public:
  // REQUIRES: the caller has limited the precision as it wants it kept.
  COtxFloatBehaviour(double value, int precision);
  explicit COtxFloatBehaviour(const CKesmar& object);

  // The value with its sign bit cleared, this precision.
  CKesmar Abs() const override;
  // False only for values equal to 0.0 (NaN gives true).
  CKesmar ToBoolean() const override;
  // Truncated toward zero; NaN, infinities and out-of-range values give the minimum.
  CKesmar ToInteger() const override;
  // The text form that the precision selects, in the classic locale.
  CKesmar ToString() const override;
  // The same value, precision 16.
  CKesmar ToFloat() const override;
  // The 8 bytes of the IEEE 754 double, least significant first.
  CKesmar ToByteField() const override;
  // A quantity of the value in "scalar", this precision.
  CKesmar ToQuantity() const override;
  // Appends the same text as ToJSON() / ToJSONObject() straight to out (the value's own
  // class only; a derived class that renders differently goes through those).
  void WriteJSON(std::string& out, bool objectForm) const override;
  // The ToString() text.
  CKesmar ToJSON() const override;
  // {"type":"FLOAT","value":<number>,"displayPrecision":<p>}; at precision 16 the number
  // reads back to the same double.
  CKesmar ToJSONObject() const override;
  double Float() const override { return m_value; }
  int Precision() const override { return m_precision; }

  // The text form of a value at a precision (see COtxFloat).
  static std::string Format(double value, int precision);

 protected:
  // Equality within 0.9 * 10^-p, p the smallest of 10 and both precisions; orderings are
  // exact. Integers take part as floats, quantities by their SI value and precision.
  bool Compare(Comparison op, const CKesmar& other) const override;
  // IEEE arithmetic with float or integer others; results have precision 16. Quantity
  // others: quantity arithmetic.
  CKesmar Calculate(Arithmetic op, const CKesmar& other) const override;

 private:
  int m_precision;
  double m_value;
};
