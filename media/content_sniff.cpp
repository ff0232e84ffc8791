#include "media/content_sniff.h"

#include <QStringDecoder>

#include <algorithm>

#include "support/file_ops.h"

namespace rilumo {

namespace {

struct Magic {
    const char* bytes;
    int length;
    int at;
    Content content;
};

// None of these can begin an audio file of the table: MPEG frames start with
// 0xFF 0xE0 or above, and every container opens with its own tag.
constexpr Magic kMagics[] = {
    {"\x89PNG\r\n\x1A\n", 8, 0, Content::Picture},
    {"\xFF\xD8\xFF", 3, 0, Content::Picture},
    {"GIF87a", 6, 0, Content::Picture},
    {"GIF89a", 6, 0, Content::Picture},
    {"WEBP", 4, 8, Content::Picture},
    {"%PDF-", 5, 0, Content::Document},
    {"PK\x03\x04", 4, 0, Content::Archive},
    {"PK\x05\x06", 4, 0, Content::Archive},
    {"\x1F\x8B", 2, 0, Content::Archive},
    {"7z\xBC\xAF\x27\x1C", 6, 0, Content::Archive},
    {"\xFD" "7zXZ", 5, 0, Content::Archive},
    {"\x7F" "ELF", 4, 0, Content::Program},
};

bool hasMagic(const QByteArray& head, const Magic& m) {
    return head.size() >= m.at + m.length && std::equal(m.bytes, m.bytes + m.length, head.constData() + m.at);
}

// Every audio header holds a control byte or a byte no UTF-8 text has within
// its first few bytes; a head of printable UTF-8 and line breaks is a text.
bool isText(const QByteArray& head) {
    for (const char c : head) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f') || u == 0x7F) return false;
    }
    // Stateful: a character cut by the end of the head is no error.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(head);
    return !utf8.hasError();
}

}  // namespace

Content SniffContent(const QByteArray& bytes) {
    const QByteArray head = bytes.left(kSniffBytes);
    if (head.isEmpty()) return Content::Empty;
    if (std::all_of(head.begin(), head.end(), [](char c) { return c == 0; })) return Content::Zeros;
    for (const Magic& m : kMagics) {
        if (hasMagic(head, m)) return m.content;
    }
    return isText(head) ? Content::Text : Content::Unknown;
}

Content SniffFile(const QString& path) {
    if (!IsRegularFile(path)) return Content::Unknown;
    QByteArray head;
    if (ReadAt(head, kSniffBytes, 0, path) == 0) return Content::Unknown;
    return SniffContent(head);
}

}  // namespace rilumo
