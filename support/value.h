#pragma once
// A playlist cell or auxiliary value: empty, a number or a text, stored as the
// caller gave it.

#include <QString>

#include <variant>

namespace rilumo {

class Value {
public:
    Value() = default;
    Value(double d) : v_(d) {}                      // NOLINT: implicit by design
    Value(int i) : v_(static_cast<double>(i)) {}    // NOLINT
    Value(long long i) : v_(static_cast<double>(i)) {}  // NOLINT
    Value(const QString& s) : v_(s) {}              // NOLINT
    Value(QString&& s) : v_(std::move(s)) {}        // NOLINT
    Value(const char* s) : v_(QString::fromUtf8(s)) {}  // NOLINT

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool IsNumber() const { return std::holds_alternative<double>(v_); }
    bool IsText() const { return std::holds_alternative<QString>(v_); }

    // Text form: empty for empty, the shortest decimal for numbers
    // (0 -> "0", 1.5 -> "1.5", 1e6 -> "1000000").
    QString ToText() const;
    // Number form: numbers as they are, texts parsed as decimal numbers
    // (surrounding spaces allowed), empty as 0. ok = false when a text is no number.
    double ToNumber(bool* ok = nullptr) const;

    bool operator==(const Value& o) const { return v_ == o.v_; }

private:
    std::variant<std::monostate, double, QString> v_;
};

// Decimal text of a number the way the settings store and the cells show it.
QString NumberText(double d);

}  // namespace rilumo
