#include "app/mpris_adaptors.h"

#include <QTimer>

#include "app/frm_main.h"
#include "app/mpris_service.h"
#include "app/remote_control.h"
#include "media/file_types.h"
#include "support/log.h"

namespace rilumo {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisRootAdaptor::Identity() const { return QString::fromLatin1(kAppTitle); }

QString MprisRootAdaptor::DesktopEntry() const { return QString::fromLatin1(kDesktopEntry); }

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    // The types of the extensions the playlist accepts, as the launcher lists them.
    return AcceptedMimeTypes();
}

void MprisRootAdaptor::Raise() {
    FrmMain& w = service_->Window();
    if (w.isMinimized()) w.showNormal();
    w.raise();
    w.activateWindow();
}

void MprisRootAdaptor::Quit() {
    // After the reply has gone out: the window's close ends the program.
    QTimer::singleShot(0, &service_->Window(), [w = &service_->Window()] { w->close(); });
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisPlayerAdaptor::PlaybackStatus() const { return service_->PlaybackStatus(); }
QVariantMap MprisPlayerAdaptor::Metadata() const { return service_->Metadata(); }
qlonglong MprisPlayerAdaptor::Position() const { return service_->Position(); }
bool MprisPlayerAdaptor::CanGoNext() const { return service_->HasEntries(); }
bool MprisPlayerAdaptor::CanPlay() const { return service_->HasEntries(); }
bool MprisPlayerAdaptor::CanSeek() const { return service_->CanSeek(); }

void MprisPlayerAdaptor::Next() {
    remoteCall([this] { remote::Step(service_->Window(), 1); });
}
void MprisPlayerAdaptor::Previous() {
    remoteCall([this] { remote::Step(service_->Window(), -1); });
}
void MprisPlayerAdaptor::Pause() {
    remoteCall([this] { remote::Pause(service_->Window()); });
}
void MprisPlayerAdaptor::PlayPause() {
    remoteCall([this] { remote::PlayPause(service_->Window()); });
}
void MprisPlayerAdaptor::Stop() {
    remoteCall([this] { remote::Stop(service_->Window()); });
}
void MprisPlayerAdaptor::Play() {
    remoteCall([this] { remote::Play(service_->Window()); });
}
void MprisPlayerAdaptor::Seek(qlonglong Offset) {
    remoteCall([this, Offset] { service_->Seek(Offset); });
}
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
    remoteCall([this, TrackId, Position] { service_->SetPosition(TrackId, Position); });
}
void MprisPlayerAdaptor::OpenUri(const QString& Uri) {
    remoteCall([this, Uri] { service_->OpenUri(Uri); });
}

// A remote call can arrive inside a command's yield point like a key press.
void MprisPlayerAdaptor::remoteCall(std::function<void()> call) {
    service_->Playback().Enter(PlaybackController::WhenBusy::Passes, std::move(call));
}

}  // namespace rilumo
