#include "controls/control_resources.h"

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterAssets() { Q_INIT_RESOURCE(assets); }

namespace rilumo {

void InitControlResources() {
    static const bool registered = [] {
        RegisterAssets();
        return true;
    }();
    (void)registered;
}

QImage BuiltInPicture(const char* path) {
    InitControlResources();
    QImage img(QString::fromLatin1(path));
    return img.isNull() ? img : img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace rilumo
