// The legacy-text decoder and the byte-carrying file names: any bytes decode
// without a crash, and a name always comes back byte-exact.

#include <algorithm>

#include "support/legacy_text.h"
#include "support/paths.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rilumo;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    bool ok = false;
    const QString cp932 = DecodeCp932(bytes, &ok);
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
    fuzz::Check(LooksLikeCp932(bytes) == (ok && high));
    fuzz::Check(ok || cp932.isEmpty());
    const QString latin = DecodeLegacyLatin1(bytes);
    fuzz::Check(LooksLikeCp932(bytes) ? latin == cp932 : latin == QString::fromLatin1(bytes));
    DecodeUnknownText(bytes);

    const QString name = PathFromBytes(bytes);
    fuzz::Check(PathToBytes(name) == bytes);
    fuzz::Check(PathToBytes(PathFromFileUri(FileUriOf(u'/' + name))) == '/' + bytes);
    DisplayName(name);
    return 0;
}
