#include "support/value.h"

#include <cmath>

namespace rilumo {

QString NumberText(double d) {
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<long long>(d));
    return QString::number(d, 'g', 15);
}

QString Value::ToText() const {
    if (const auto* s = std::get_if<QString>(&v_)) return *s;
    if (const auto* d = std::get_if<double>(&v_)) return NumberText(*d);
    return {};
}

double Value::ToNumber(bool* ok) const {
    if (ok) *ok = true;
    if (const auto* d = std::get_if<double>(&v_)) return *d;
    if (const auto* s = std::get_if<QString>(&v_)) {
        bool good = false;
        double d = s->trimmed().toDouble(&good);
        if (ok) *ok = good;
        return good ? d : 0.0;
    }
    return 0.0;
}

}  // namespace rilumo
