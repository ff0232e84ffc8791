#include "controls/control_font.h"

#include <algorithm>

#include "support/globals.h"
#include "support/ui/fonts.h"
#include "support/units.h"

namespace rilumo {

QFont ControlFont(double size, bool bold, bool italic, const QString& face) {
    if (!(size > 0) || size > 500) size = 9;
    if (globals::FontSubstitution == 1) {
        // The program's own fonts, shared through the font table.
        const int i = ApplyFont(nullptr, -2, nullptr, static_cast<float>(size), bold ? -1 : 0, italic ? -1 : 0,
                                face.trimmed());
        return FontAt(i).font;
    }
    QFont f;
    if (!face.trimmed().isEmpty()) f.setFamily(face.trimmed());
    // Cell height in pixels as the program's fonts are made: size x 20 twips.
    f.setPixelSize(std::max(1, RoundEvenInt(size * 20.0 / Tpp())));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

}  // namespace rilumo
