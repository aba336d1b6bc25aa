#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace qv {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }
bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsEdgeBlank(char c) { return IsValBlank(c) || c == '\r'; }

// Exponents are clamped far beyond any double's range, so that a text of
// many digits still cannot overflow the arithmetic here.
constexpr long kExponentLimit = 100'000'000;

// Significant digits beyond these cannot move the number to another double,
// except by whether any of them is not zero: that is kept as one digit more.
// (A halfway point between two doubles has at most 767 significant digits.)
constexpr long kKeptDigits = 800;

struct ScannedNumber {
    std::string normalized;  // sign, digits, ".", "e" and exponent, as from_chars reads it
    bool hasDigits = false;
    bool hasExponent = false;
    long magnitude = 0;  // decimal exponent of the first significant digit, without the exponent part
    long exponent = 0;
    long shift = 0;                // the powers of ten of integer digits left out of `normalized`
    bool fractionSettled = false;  // decimals past the kept digits, one of those left out not zero
    std::size_t end = 0;           // position after the last character that belongs to the number
};

// Reads the number at the start of `text`. With `skipBlanks` the classic
// Val() rule applies: blanks between any two characters are ignored.
class NumberScanner {
public:
    NumberScanner(std::string_view text, bool skipBlanks) : text_(text), skipBlanks_(skipBlanks) {}

    ScannedNumber Scan() {
        ScannedNumber number;
        if (Peek() == '-' || Peek() == '+') {
            if (Peek() == '-') number.normalized += '-';
            Take();
        }
        ScanMantissa(number);
        number.end = pos_;
        if (number.hasDigits && IsExponentMark(Peek())) {
            Take();
            ScanExponent(number);
        }
        const long written = std::clamp(number.exponent + number.shift, -kExponentLimit, kExponentLimit);
        if (number.hasExponent || number.shift != 0) {
            number.normalized += 'e';
            number.normalized += std::to_string(written);
        }
        return number;
    }

    // The character that ended the number was the last one looked at.
    std::size_t Position() const { return pos_; }

private:
    char Peek() {
        while (skipBlanks_ && pos_ < text_.size() && IsValBlank(text_[pos_])) ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void Take() { ++pos_; }

    void ScanMantissa(ScannedNumber& number) {
        bool seenPoint = false;
        bool seenSignificant = false;
        long integerDigits = 0;
        long leadingFractionZeros = 0;
        long kept = 0;         // significant digits written
        bool dropped = false;  // a digit not zero was left out
        for (char c = Peek(); IsDigit(c) || (c == '.' && !seenPoint); c = Peek()) {
            Take();
            if (c == '.') {
                seenPoint = true;
                if (kept < kKeptDigits) {
                    if (!number.hasDigits) number.normalized += '0';
                    number.normalized += '.';
                }
                continue;
            }
            number.hasDigits = true;
            if (c != '0') seenSignificant = true;
            if (!seenPoint && seenSignificant) integerDigits = std::min(integerDigits + 1, kExponentLimit);
            if (seenPoint && !seenSignificant)
                leadingFractionZeros = std::min(leadingFractionZeros + 1, kExponentLimit);
            if (!seenSignificant || kept < kKeptDigits) {
                number.normalized += c;
                if (seenSignificant) ++kept;
                continue;
            }
            // Past the kept digits, the digits that follow are only counted.
            const std::size_t run = pos_;
            bool notZero = false;
            for (; pos_ < text_.size(); ++pos_) {
                const char digit = text_[pos_];
                if (!IsDigit(digit)) break;
                notZero |= digit != '0';
            }
            dropped = dropped || notZero || c != '0';
            if (!seenPoint) {
                const long more = static_cast<long>(std::min<std::size_t>(pos_ - run, kExponentLimit));
                number.shift = std::min(number.shift + 1 + more, kExponentLimit);
                integerDigits = std::min(integerDigits + more, kExponentLimit);
            }
        }
        number.fractionSettled = seenPoint && dropped;
        if (dropped) {
            // One digit after the kept ones stands for everything left out.
            number.normalized += '1';
            if (number.normalized.find('.') == std::string::npos) --number.shift;
        }
        number.magnitude = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    }

    // An exponent mark without digits is not part of the number.
    void ScanExponent(ScannedNumber& number) {
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            Take();
        }
        if (!IsDigit(Peek())) return;
        long exponent = 0;
        for (char c = Peek(); IsDigit(c); c = Peek()) {
            Take();
            exponent = std::min(exponent * 10 + (c - '0'), kExponentLimit);
        }
        number.exponent = negative ? -exponent : exponent;
        number.hasExponent = true;
        number.end = pos_;
    }

    std::string_view text_;
    bool skipBlanks_;
    std::size_t pos_ = 0;
};

// The scanned number's value; a magnitude beyond double is +-infinity, one
// below its smallest is 0.
double ValueOf(const ScannedNumber& number) {
    if (!number.hasDigits) return 0.0;
    const char* first = number.normalized.data();
    const char* last = first + number.normalized.size();
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const bool negative = number.normalized.front() == '-';
        const bool overflow = number.magnitude + number.exponent >= 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -value : value;
    }
    return ec == std::errc() && value != 0.0 ? value : 0.0;
}

template <typename Int>
std::optional<Int> ToInteger(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}

}  // namespace

double LeadingNumber(std::string_view text) { return ValueOf(NumberScanner(text, true).Scan()); }

LeadingNumberScan ScanLeadingNumber(std::string_view text) {
    NumberScanner scanner(text, true);
    const ScannedNumber number = scanner.Scan();
    const double value = ValueOf(number);
    const bool open = number.hasDigits && !number.hasExponent && number.end == text.size();
    return {value, std::min(scanner.Position() + 1, text.size()), open,
            open && (std::isinf(value) || number.fractionSettled)};
}

std::optional<double> ParseNumber(std::string_view text) {
    while (!text.empty() && IsEdgeBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsEdgeBlank(text.back())) text.remove_suffix(1);
    const ScannedNumber number = NumberScanner(text, false).Scan();
    if (!number.hasDigits || number.end != text.size()) return std::nullopt;
    const double value = ValueOf(number);
    if (std::isinf(value)) return std::nullopt;
    return value;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double below = std::floor(value);
    const double fraction = value - below;  // exact for every double
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<std::int16_t> ToInt16(double value) { return ToInteger<std::int16_t>(value); }
std::optional<std::int32_t> ToInt32(double value) { return ToInteger<std::int32_t>(value); }

}  // namespace qv
