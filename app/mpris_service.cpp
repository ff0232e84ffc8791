#include "app/mpris_service.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QUrl>

#include <algorithm>

#include "app/frm_main.h"
#include "app/list_columns.h"
#include "app/mpris_adaptors.h"
#include "app/remote_control.h"
#include "app/sheet_entries.h"
#include "app/tag_loader.h"
#include "support/log.h"
#include "support/paths.h"

namespace rilumo {

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kBaseName = QStringLiteral("org.mpris.MediaPlayer2.rilumo");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
constexpr int kSettleMs = 100;

void InsertTagFields(QVariantMap& m, const TrackTags& tags) {
    if (!tags.artist.isEmpty()) m.insert(QStringLiteral("xesam:artist"), QStringList{tags.artist});
    if (!tags.albumArtist.isEmpty()) m.insert(QStringLiteral("xesam:albumArtist"), QStringList{tags.albumArtist});
    if (!tags.album.isEmpty()) m.insert(QStringLiteral("xesam:album"), tags.album);
    if (tags.trackNumber > 0) m.insert(QStringLiteral("xesam:trackNumber"), tags.trackNumber);
    if (tags.discNumber > 0) m.insert(QStringLiteral("xesam:discNumber"), tags.discNumber);
}

// A sheet track's words are its entry's: its file's tags are the album's.
void InsertSheetFields(QVariantMap& m, const UC_ListView& lv, int row) {
    const auto cell = [&lv, row](ListColumn c) { return lv.Value(row, DataIndex(c)); };
    const QString title = cell(ListColumn::TagTitle).ToText();
    m.insert(QStringLiteral("xesam:title"), title.isEmpty() ? cell(ListColumn::FileTitle).ToText() : title);
    if (const QString a = cell(ListColumn::Artist).ToText(); !a.isEmpty())
        m.insert(QStringLiteral("xesam:artist"), QStringList{a});
    if (const QString a = cell(ListColumn::Album).ToText(); !a.isEmpty()) m.insert(QStringLiteral("xesam:album"), a);
    if (const Value n = cell(ListColumn::Track); n.IsNumber())
        m.insert(QStringLiteral("xesam:trackNumber"), static_cast<int>(n.ToNumber()));
}

// The entry CurrentTrack tells of: the playing one once a file is loaded,
// else the cursor's.
int CurrentRow(FrmMain& w) {
    if (!w.Player().FileName().isEmpty()) return w.Playback().State().playIndex;
    return std::max(w.LV().SelectedItem(), 0);
}

}  // namespace

MprisService::MprisService(FrmMain& window, const QDBusConnection& bus)
    : window_(window), playback_(window.Playback()), bus_(bus) {
    new MprisRootAdaptor(this);
    player_ = new MprisPlayerAdaptor(this);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &MprisService::SendChanges);
    // Connected after the window's own handlers, so these see what they did.
    connect(&playback_.Timer(), &QTimer::timeout, this, &MprisService::NoticeChanges);
    connect(&playback_, &PlaybackController::Seeked, this, &MprisService::SendSeeked);
}

MprisService::~MprisService() {
    if (name_.isEmpty()) return;
    bus_.unregisterService(name_);
    bus_.unregisterObject(kObjectPath);
}

bool MprisService::Register() {
    if (!bus_.isConnected() || !bus_.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    const QString instance = kBaseName + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
    for (const QString& name : {kBaseName, instance}) {
        if (bus_.registerService(name)) {
            name_ = name;
            sent_ = ChangingProperties();
            return true;
        }
    }
    bus_.unregisterObject(kObjectPath);
    return false;
}

QString MprisService::PlaybackStatus() const {
    switch (playback_.State().lastSeenMode) {
    case kModePlaying: return QStringLiteral("Playing");
    case kModePaused: return QStringLiteral("Paused");
    default: return QStringLiteral("Stopped");
    }
}

QDBusObjectPath MprisService::TrackId(const PlaybackTrack& track) const {
    if (track.path.isEmpty()) return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    // The tracks of one album file are tracks of their own.
    const QString key = track.sheetTrack > 0 ? track.path + u'#' + QString::number(track.sheetTrack) : track.path;
    if (key != trackPath_) {
        trackPath_ = key;
        ++trackSerial_;
    }
    return QDBusObjectPath(QStringLiteral("/org/rilumo/track/%1").arg(trackSerial_));
}

QVariantMap MprisService::Metadata() const {
    const PlaybackTrack t = playback_.CurrentTrack();
    QVariantMap m{{QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId(t))}};
    if (t.path.isEmpty()) return m;
    const UC_ListView& lv = window_.LV();
    const int row = CurrentRow(window_);
    const bool sheetTrack = lv.AuxID(row, 0).ToText() == t.path && SegmentOf(lv, row).isTrack;
    const TrackTags* tags = sheetTrack ? nullptr : window_.Tags().PlayingTags(t.path);
    // The player's own length is exact; the tags' (or the sheet's) stands in until it is known.
    const qlonglong known = sheetTrack ? qlonglong(lv.Value(row, DataIndex(ListColumn::Length)).ToNumber())
                            : tags     ? tags->lengthMs
                                       : 0;
    const qlonglong lengthMs = t.length > 0 ? qlonglong{t.length} : known;
    if (lengthMs > 0) m.insert(QStringLiteral("mpris:length"), lengthMs * 1000);
    // A sheet's track is named by its entry; the file's own title is the album's.
    const bool ownTitle = t.sheetTrack == 0 && tags && !tags->title.isEmpty();
    m.insert(QStringLiteral("xesam:title"), ownTitle ? tags->title : t.title);
    m.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(t.path).toString(QUrl::FullyEncoded));
    if (tags) InsertTagFields(m, *tags);
    if (sheetTrack) InsertSheetFields(m, lv, row);
    return m;
}

qlonglong MprisService::Position() const { return qlonglong{playback_.Position()} * 1000; }

bool MprisService::HasEntries() const { return playback_.HasEntries(); }

bool MprisService::CanSeek() const { return playback_.Playing() && playback_.Length() > 0; }

void MprisService::Seek(qlonglong offsetUs) {
    if (!CanSeek()) return;
    const qlonglong target = Position() + offsetUs;
    if (target >= qlonglong{playback_.Length()} * 1000) {
        remote::Step(window_, 1);
        return;
    }
    SeekTo(std::max<qlonglong>(target, 0));
}

void MprisService::SetPosition(const QDBusObjectPath& trackId, qlonglong positionUs) {
    // A request about a track no longer current, or beyond its end, is stale.
    if (!CanSeek() || trackId != TrackId(playback_.CurrentTrack())) return;
    if (positionUs < 0 || positionUs > qlonglong{playback_.Length()} * 1000) return;
    SeekTo(positionUs);
}

void MprisService::OpenUri(const QString& uri) {
    const QString path = PathFromFileUri(uri);
    if (!path.isEmpty()) remote::OpenFile(window_, path);
}

// The controller tells of the seek, as of one made with the bar.
void MprisService::SeekTo(qlonglong positionUs) { remote::SeekTo(window_, static_cast<std::int32_t>(positionUs / 1000)); }

void MprisService::SendSeeked() { emit player_->Seeked(qlonglong{playback_.SeekedTo()} * 1000); }

QVariantMap MprisService::ChangingProperties() const {
    const bool entries = HasEntries();
    return {{QStringLiteral("PlaybackStatus"), PlaybackStatus()},
            {QStringLiteral("Metadata"), Metadata()},
            {QStringLiteral("CanGoNext"), entries},
            {QStringLiteral("CanGoPrevious"), entries},
            {QStringLiteral("CanPlay"), entries},
            {QStringLiteral("CanPause"), entries},
            {QStringLiteral("CanSeek"), CanSeek()}};
}

void MprisService::NoticeChanges() {
    if (!settle_.isActive() && ChangingProperties() != sent_) settle_.start();
}

void MprisService::SendChanges() {
    const QVariantMap now = ChangingProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (sent_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
    sent_ = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}

std::unique_ptr<MprisService> StartMpris(FrmMain& window) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        WriteLog(QStringLiteral("MPRIS no session bus#") + bus.lastError().message(), 0, 1);
        return nullptr;
    }
    auto service = std::make_unique<MprisService>(window, bus);
    if (!service->Register()) {
        WriteLog(QStringLiteral("MPRIS ") + kBaseName + QStringLiteral("#") + bus.lastError().message(), 0, 1);
        return nullptr;
    }
    WriteLog(QStringLiteral("MPRIS ") + service->ServiceName(), 0, 0);
    return service;
}

}  // namespace rilumo
