#pragma once
// A failure with a number and a description, as the runtime reports it to the
// user ("错误原因：" + description) or as a COM error (number + description).
#include <stdexcept>
#include <string>

namespace qv {

namespace errnum {
constexpr long Overflow = 6;
constexpr long SubscriptOutOfRange = 9;
constexpr long TypeMismatch = 13;
constexpr long FileNotFound = 53;
constexpr long DuplicateKey = 457;
}  // namespace errnum

class AppError : public std::runtime_error {
public:
    AppError(long number, const std::string& description) : std::runtime_error(description), number_(number) {}
    long Number() const noexcept { return number_; }
    std::string Description() const { return what(); }

private:
    long number_;
};

inline AppError OverflowError() { return AppError(errnum::Overflow, "溢出"); }
inline AppError DuplicateKeyError() { return AppError(errnum::DuplicateKey, "此键已经与该集合的一个元素相关联"); }

}  // namespace qv
