#include "tests/fuzz/fuzz_playlist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return rilumo::fuzz::FuzzPlaylist(rilumo::PlaylistKind::Own, data, size);
}
