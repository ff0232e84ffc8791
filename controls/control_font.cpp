#include "controls/control_font.h"

#include <algorithm>

#include "controls/units.h"

namespace rilumo {

QFont ControlFont(double size, bool bold, bool italic, const QString& face) {
    QFont f;
    if (!face.trimmed().isEmpty()) f.setFamily(face.trimmed());
    if (!(size > 0) || size > 500) size = 9;
    // Cell height in pixels as the platform fonts are made: size x 20 twips.
    f.setPixelSize(std::max(1, RoundEvenInt(size * 20.0 / Tpp())));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

}  // namespace rilumo
