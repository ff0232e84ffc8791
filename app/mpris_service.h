#pragma once
// The player on the session bus as org.mpris.MediaPlayer2.rilumo, so that the
// desktop's media keys, sound menu and lock screen can drive it. Requests go
// through the playback controller (remote_control.h); what the window shows
// goes out in PropertiesChanged once it has settled.

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <memory>

namespace rilumo {

// The launcher's name without ".desktop", as installed.
inline constexpr const char* kDesktopEntry = "rilumo";

class FrmMain;
class MprisPlayerAdaptor;
class PlaybackController;
struct PlaybackTrack;

class MprisService : public QObject {
    Q_OBJECT
public:
    MprisService(FrmMain& window, const QDBusConnection& bus);
    ~MprisService() override;

    // Exports the object and takes the name, or its ".instance<pid>" form
    // when another player holds it. False when neither can be had.
    bool Register();
    QString ServiceName() const { return name_; }

    FrmMain& Window() const { return window_; }
    PlaybackController& Playback() const { return playback_; }
    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    qlonglong Position() const;
    bool HasEntries() const;
    bool CanSeek() const;
    void Seek(qlonglong offsetUs);
    void SetPosition(const QDBusObjectPath& trackId, qlonglong positionUs);
    void OpenUri(const QString& uri);

private:
    QDBusObjectPath TrackId(const PlaybackTrack& track) const;
    QVariantMap ChangingProperties() const;
    void NoticeChanges();
    void SendChanges();
    void SeekTo(qlonglong positionUs);
    void SendSeeked();

    FrmMain& window_;
    PlaybackController& playback_;
    QDBusConnection bus_;
    QString name_;
    MprisPlayerAdaptor* player_ = nullptr;
    // Between two tracks the window shows "stopped" for one tick; a change
    // is sent only once it has lasted this long.
    QTimer settle_;
    QVariantMap sent_;
    mutable QString trackPath_;
    mutable int trackSerial_ = 0;
};

// The service on the session bus; nullptr, and a line in the log, when there
// is no bus (a bare console) or no name to be had: the player works on alone.
std::unique_ptr<MprisService> StartMpris(FrmMain& window);

}  // namespace rilumo
