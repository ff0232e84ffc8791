#pragma once
// The built-in pictures, embedded as resources of the controls library.

#include <QImage>
#include <QString>

namespace rilumo {

// Registers the embedded pictures; idempotent, called by every control.
void InitControlResources();

// Resource paths of the built-in pictures.
inline constexpr const char* kIconLibraryPath = ":/rilumo/icons.png";            // 468 x 36
inline constexpr const char* kSliderArrowsHPath = ":/rilumo/slider_arrows_h.png";  // 24 x 20
inline constexpr const char* kSliderArrowsVPath = ":/rilumo/slider_arrows_v.png";  // 40 x 12
inline constexpr const char* kFileTypeIconsPath = ":/rilumo/file_types.png";      // 160 x 32
inline constexpr const char* kOnAirOffPath = ":/rilumo/on_air_off.png";          // 64 x 23
inline constexpr const char* kOnAirOnPath = ":/rilumo/on_air_on.png";            // 64 x 23

// One built-in picture as RGB32 (a null image when it cannot be read).
QImage BuiltInPicture(const char* path);

}  // namespace rilumo
