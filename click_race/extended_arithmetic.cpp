#include "click_race/extended_arithmetic.h"

#include <bit>
#include <cmath>
#include <limits>

namespace click_race {
namespace {

// Just enough of a 128-bit unsigned integer for one exact division, on targets without __int128.
struct U128 {
  std::uint64_t high = 0, low = 0;

  int BitWidth() const { return high ? 64 + std::bit_width(high) : std::bit_width(low); }

  U128 ShiftedLeft(int shift) const {  // 0 <= shift < 128
    if (shift == 0) return *this;
    if (shift >= 64) return {low << (shift - 64), 0};
    return {(high << shift) | (low >> (64 - shift)), low << shift};
  }

  // Bits [position, position + width) counted from the lowest bit, width <= 32.
  std::uint64_t Bits(int position, int width) const {
    const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
    if (position >= 64) return (high >> (position - 64)) & mask;
    std::uint64_t bits = low >> position;
    if (position + width > 64) bits |= high << (64 - position);
    return bits & mask;
  }
};

U128 Multiply(std::uint64_t a, std::uint32_t b) {
  const std::uint64_t lowProduct = (a & 0xFFFFFFFFu) * b;
  const std::uint64_t highProduct = (a >> 32) * b;
  const std::uint64_t low = lowProduct + (highProduct << 32);
  return {(highProduct >> 32) + (low < lowProduct ? 1 : 0), low};
}

struct QuotientAndRemainder {
  std::uint64_t quotient, remainder;
};

// Long division by a divisor below 2^53 in 11-bit digits, so every partial remainder shifted by
// one digit still fits 64 bits. The caller guarantees that the quotient fits 64 bits.
QuotientAndRemainder Divide(const U128& dividend, std::uint64_t divisor) {
  constexpr int kDigit = 11;
  std::uint64_t quotient = 0, remainder = 0;
  int position = 128;
  int width = 128 % kDigit;
  while (position > 0) {
    position -= width;
    remainder = (remainder << width) | dividend.Bits(position, width);
    quotient = (quotient << width) | (remainder / divisor);
    remainder %= divisor;
    width = kDigit;
  }
  return {quotient, remainder};
}

}  // namespace

double CounterToMilliseconds(std::int64_t counter, double frequency) {
  if (!(frequency > 0.0) || !std::isfinite(frequency)) return 0.0;
  const bool negative = counter < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(counter) : static_cast<std::uint64_t>(counter);
  const U128 product = Multiply(magnitude, 1000);  // exact: no 64-bit wrap-around
  if (product.BitWidth() == 0) return 0.0;

  int exponent = 0;
  const std::uint64_t divisor = static_cast<std::uint64_t>(std::ldexp(std::frexp(frequency, &exponent), 53));
  exponent -= 53;  // frequency = divisor × 2^exponent, divisor of exactly 53 bits

  // Scale the product so that the quotient has exactly 64 bits: that is the extended significand,
  // and the remainder tells how to round it (to nearest, ties to even), as the x87 division does.
  int scale = 116 - product.BitWidth();
  QuotientAndRemainder q = Divide(product.ShiftedLeft(scale), divisor);
  if (std::bit_width(q.quotient) < 64) q = Divide(product.ShiftedLeft(++scale), divisor);
  int resultExponent = -scale - exponent;
  std::uint64_t significand = q.quotient;
  const std::uint64_t twice = 2 * q.remainder;
  if (twice > divisor || (twice == divisor && (significand & 1))) {
    if (++significand == 0) {
      significand = std::uint64_t{1} << 63;
      ++resultExponent;
    }
  }

  // Storing the extended value as a double rounds once more, to 53 bits.
  const std::uint64_t dropped = significand & 0x7FF;
  significand >>= 11;
  resultExponent += 11;
  if (dropped > 0x400 || (dropped == 0x400 && (significand & 1))) ++significand;
  const double result = std::ldexp(static_cast<double>(significand), resultExponent);
  return negative ? -result : result;
}

double TruncateToTenths(double difference) {
  if (std::isnan(difference)) return 0.0;
  constexpr std::uint64_t kLimit = std::numeric_limits<std::int32_t>::max();

  // |difference| = significand × 2^exponent with a 53-bit integer significand; × 10 is exact in
  // the 64-bit extended significand, so truncating the exact product is what the x87 does.
  std::uint64_t k = kLimit;
  if (std::isfinite(difference)) {
    int exponent = 0;
    const std::uint64_t tenfold = static_cast<std::uint64_t>(std::ldexp(std::frexp(std::fabs(difference), &exponent), 53)) * 10;
    exponent -= 53;
    if (exponent < 0) k = -exponent >= 64 ? 0 : std::min(tenfold >> -exponent, kLimit);
  }
  const bool negative = difference < 0;
  if (negative && k == kLimit) ++k;  // int32 saturates one further on the negative side
  // For every 32-bit k, k × (extended 0.1) stored as a double is the double nearest k / 10
  // (checked exhaustively against the x87), which one correctly rounded division gives.
  const double tenths = static_cast<double>(k) / 10.0;
  return negative ? -tenths : tenths;
}

}  // namespace click_race
