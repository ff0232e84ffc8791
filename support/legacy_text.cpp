#include "support/legacy_text.h"

#include <QStringDecoder>
#include <QtEndian>

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace rilumo {
namespace {

// Output straight into QString's buffer, so in the host's byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kHostUtf16 = "UTF-16LE";
#else
constexpr const char* kHostUtf16 = "UTF-16BE";
#endif

// One converter for the process: opening a gconv module per call costs more
// than the decoding itself. iconv_t holds shift state, so calls take turns.
class Cp932Converter {
  public:
    Cp932Converter() : handle_(iconv_open(kHostUtf16, "CP932")) {}
    ~Cp932Converter() {
        if (Usable()) iconv_close(handle_);
    }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    bool Decode(const QByteArray& bytes, QString* out) {
        if (!Usable()) return false;
        std::lock_guard lock(mutex_);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        // Every CP932 byte yields at most one UTF-16 unit.
        QString result(bytes.size(), Qt::Uninitialized);
        char* in = const_cast<char*>(bytes.constData());
        size_t in_left = static_cast<size_t>(bytes.size());
        char* dest = reinterpret_cast<char*>(result.data());
        size_t out_left = static_cast<size_t>(result.size()) * 2;
        // A non-reversible count > 0 means a byte was substituted, not mapped.
        const size_t status = iconv(handle_, &in, &in_left, &dest, &out_left);
        if (status != 0 || in_left != 0) return false;
        result.truncate(result.size() - static_cast<qsizetype>(out_left / 2));
        *out = result;
        return true;
    }

  private:
    bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    iconv_t handle_;
    std::mutex mutex_;
};

Cp932Converter& Converter() {
    static Cp932Converter converter;
    return converter;
}

bool HasHighByte(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

bool DecodeUtf8Strict(QByteArrayView bytes, QString* out) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return false;
    *out = text;
    return true;
}

QString DecodeUtf16(QByteArrayView bytes, QStringDecoder::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

}  // namespace

QString DecodeCp932(const QByteArray& bytes, bool* ok) {
    QString text;
    const bool decoded = Converter().Decode(bytes, &text);
    if (ok) *ok = decoded;
    return decoded ? text : QString();
}

bool LooksLikeCp932(const QByteArray& bytes) {
    if (!HasHighByte(bytes)) return false;
    bool ok = false;
    DecodeCp932(bytes, &ok);
    return ok;
}

QString DecodeLegacyLatin1(const QByteArray& bytes) {
    bool ok = false;
    if (HasHighByte(bytes)) {
        QString text = DecodeCp932(bytes, &ok);
        if (ok) return text;
    }
    return QString::fromLatin1(bytes);
}

QString DecodeUnknownText(const QByteArray& bytes) {
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(view.sliced(3));
    if (view.startsWith("\xFF\xFE")) return DecodeUtf16(view.sliced(2), QStringDecoder::Utf16LE);
    if (view.startsWith("\xFE\xFF")) return DecodeUtf16(view.sliced(2), QStringDecoder::Utf16BE);
    QString text;
    if (DecodeUtf8Strict(view, &text)) return text;
    return DecodeLegacyLatin1(bytes);
}

}  // namespace rilumo
