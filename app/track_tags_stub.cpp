// Stand-in until the tag reader lands: the summary the "形式" column shows.

#include "media/track_tags.h"

#include <QStringList>

namespace rilumo {

QString FormatSummary(const TrackTags& tags) {
    QStringList parts;
    if (!tags.formatName.isEmpty()) parts << tags.formatName;
    if (tags.sampleRate > 0) parts << QString::number(tags.sampleRate / 1000.0, 'g', 4) + QStringLiteral("kHz");
    if (tags.bitsPerSample > 0) parts << QString::number(tags.bitsPerSample) + QStringLiteral("bit");
    else if (tags.bitrateKbps > 0) parts << QString::number(tags.bitrateKbps) + QStringLiteral("kbps");
    return parts.join(u' ');
}

}  // namespace rilumo
