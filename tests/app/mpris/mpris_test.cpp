// The desktop's media remote (playerctl, a real MPRIS client) on a private
// session bus drives the real window; the window's own state is checked
// after each request, and what the bus told the desktop is heard too.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QRegularExpression>
#include <QUrl>

#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include "app/mpris_service.h"
#include "tests/app/window_fixture.h"
#include "tests/app/mpris/session_bus.h"

namespace rilumo::test {
namespace {

// What a desktop listening to the player hears.
class Listener : public QObject {
    Q_OBJECT
public:
    QStringList statuses, titles;
    QList<qlonglong> seeked;

public slots:
    void Changed(const QString&, const QVariantMap& changed, const QStringList&) {
        if (changed.contains("PlaybackStatus")) statuses << changed["PlaybackStatus"].toString();
        if (changed.contains("Metadata"))
            titles << qdbus_cast<QVariantMap>(changed["Metadata"]).value("xesam:title").toString();
    }
    void Seeked(qlonglong position) { seeked << position; }
};

class Mpris : public PlayerWindow {
protected:
    void SetUp() override {
        PlayerWindow::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(bus.Ok()) << "no private session bus from dbus-run-session";
        service = std::make_unique<MprisService>(*w, QDBusConnection::connectToBus(bus.Address(), "player"));
        ASSERT_TRUE(service->Register());
        QDBusConnection client = QDBusConnection::connectToBus(bus.Address(), "desktop");
        const QString name = service->ServiceName(), path = "/org/mpris/MediaPlayer2";
        ASSERT_TRUE(client.connect(name, path, "org.freedesktop.DBus.Properties", "PropertiesChanged", &heard,
                                   SLOT(Changed(QString, QVariantMap, QStringList))));
        ASSERT_TRUE(client.connect(name, path, "org.mpris.MediaPlayer2.Player", "Seeked", &heard,
                                   SLOT(Seeked(qlonglong))));
    }
    void TearDown() override {
        service.reset();
        QDBusConnection::disconnectFromBus("player");
        QDBusConnection::disconnectFromBus("desktop");
        PlayerWindow::TearDown();
    }

    QString Tone(const QString& name, int ms = 30000, double frequency = 440) {
        const QString path = media.File(name + ".wav");
        EXPECT_TRUE(WriteSineWave(path, 8000, 1, 16, frequency, ms));
        return path;
    }
    QString Remote(const QStringList& args) { return bus.Playerctl(args); }
    bool Heard(const QString& status) {
        return WaitFor([&] { return !heard.statuses.isEmpty() && heard.statuses.last() == status; });
    }

    SessionBus bus;
    std::unique_ptr<MprisService> service;
    Listener heard;
};

TEST_F(Mpris, PlayerctlDrivesTheWindowThroughItsOwnHandlers) {
    const QStringList t = {Tone("t0"), Tone("t1", 30000, 660), Tone("t2", 30000, 880)};
    Fill(t);

    Remote({"play"});
    ASSERT_TRUE(WaitForStatus("PLAY"));
    EXPECT_EQ(Playing(), t[0]);
    EXPECT_TRUE(Heard("Playing"));
    EXPECT_EQ(Remote({"status"}), "Playing");

    Remote({"pause"});
    ASSERT_TRUE(WaitForStatus("PAUSE"));
    EXPECT_TRUE(Heard("Paused"));
    Remote({"play"});
    ASSERT_TRUE(WaitForStatus("PLAY"));
    EXPECT_EQ(Playing(), t[0]) << "play resumes a paused track";
    EXPECT_TRUE(Heard("Playing"));

    Remote({"next"});
    ASSERT_TRUE(WaitFor([&] { return Playing() == t[1]; }));
    EXPECT_EQ(w->LV().DispColor(1), 0x00FF00u);
    EXPECT_EQ(w->State().playIndex, 1);

    Remote({"position", "10"});
    ASSERT_TRUE(WaitFor([&] { return !heard.seeked.isEmpty(); }));
    EXPECT_EQ(heard.seeked.last(), 10'000'000);
    EXPECT_TRUE(WaitFor([&] {
        const int at = w->Player().Position(0);
        return at >= 10000 && at < 12000;
    }));

    const QString meta = Remote({"metadata"});
    EXPECT_TRUE(meta.contains(QRegularExpression("xesam:title +t1\n"))) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QRegularExpression("mpris:length +30000000\n"))) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QRegularExpression("mpris:trackid +'/org/rilumo/track/\\d+'"))) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QUrl::fromLocalFile(t[1]).toString())) << meta.toStdString();

    Remote({"previous"});
    ASSERT_TRUE(WaitFor([&] { return Playing() == t[0]; }));
    Remote({"previous"});
    ASSERT_TRUE(WaitFor([&] { return Playing() == t[2]; })) << "the list wraps round";

    Remote({"stop"});
    ASSERT_TRUE(WaitForStatus("STOP"));
    EXPECT_EQ(w->State().userStop, 1);
    EXPECT_TRUE(Heard("Stopped"));
    EXPECT_EQ(heard.statuses, QStringList({"Playing", "Paused", "Playing", "Stopped"}));
}

TEST_F(Mpris, ABusyWindowIgnoresTheRemoteAndAnOpenedFileJoinsTheList) {
    const QString first = Tone("t0");
    Fill({first});
    w->State().busy = 1;
    Remote({"play"});
    Remote({"next"});
    PumpFor(300);
    EXPECT_TRUE(Playing().isEmpty());
    EXPECT_EQ(w->LV().SelectedItem(), -1);
    w->State().busy = 0;

    const QString opened = Tone("opened", 1500, 660);
    Remote({"open", QUrl::fromLocalFile(opened).toString()});
    ASSERT_TRUE(WaitFor([&] { return Playing() == opened; }));
    EXPECT_EQ(w->LV().ItemCount(), 2);
    EXPECT_EQ(w->State().playIndex, 1);
    // Its end goes round to the first entry, and the desktop sees no stop between.
    ASSERT_TRUE(WaitFor([&] { return Playing() == first && w->State().lastSeenMode == 3; }));
    ASSERT_TRUE(WaitFor([&] { return !heard.titles.isEmpty() && heard.titles.last() == "t0"; }));
    EXPECT_TRUE(heard.titles.contains("opened"));
    EXPECT_EQ(heard.statuses, QStringList{"Playing"});
}

// Names as bytes declared Latin-1 (ID3v2.3 encoding 0) but written in CP932.
TagLib::String Cp932(const char* bytes) { return TagLib::String(TagLib::ByteVector(bytes)); }
TagLib::String Utf8(const char* text) { return TagLib::String(text, TagLib::String::UTF8); }

void TagWave(const QString& path, TagLib::ID3v2::Version version, const TagLib::String& title,
             const TagLib::String& artist, const TagLib::String& album) {
    TagLib::RIFF::WAV::File f(QFile::encodeName(path).constData());
    f.ID3v2Tag()->setTitle(title);
    f.ID3v2Tag()->setArtist(artist);
    f.ID3v2Tag()->setAlbum(album);
    f.ID3v2Tag()->setTrack(5);
    ASSERT_TRUE(f.save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripOthers, version));
}

TEST_F(Mpris, TheDesktopReadsEachTracksTagsAndHearsThemArrive) {
    const QString utf8 = Tone("1"), cp932 = Tone("2", 30000, 660), flac = media.File("3.flac");
    TagWave(utf8, TagLib::ID3v2::v4, Utf8("夜の曲"), Utf8("歌手"), Utf8("Café"));
    TagWave(cp932, TagLib::ID3v2::v3, Cp932("\x93\xF1\x8B\xC8\x96\xDA"), Cp932("\x89\xCC\x8E\xE8"),
            Cp932("\x93\x8C\x8B\x9E"));
    ASSERT_TRUE(EncodeAs("flac", Tone("source", 30000, 880), flac));
    {
        TagLib::FileRef f(QFile::encodeName(flac).constData());
        TagLib::PropertyMap map;
        map.insert("TITLE", Utf8("三曲目"));
        map.insert("ARTIST", Utf8("合唱団"));
        map.insert("ALBUMARTIST", Utf8("みんな"));
        map.insert("ALBUM", Utf8("冬"));
        map.insert("TRACKNUMBER", TagLib::String("5"));
        f.file()->setProperties(map);
        ASSERT_TRUE(f.save());
    }
    Fill({utf8, cp932, flac});
    const QStringList format = {"metadata", "--format", "{{title}}|{{artist}}|{{album}}|{{xesam:trackNumber}}"};
    const QStringList expected = {"夜の曲|歌手|Café|5", "二曲目|歌手|東京|5", "三曲目|合唱団|冬|5"};
    const QStringList paths = {utf8, cp932, flac};
    for (int i = 0; i < 3; ++i) {
        Remote({i == 0 ? "play" : "next"});
        ASSERT_TRUE(WaitFor([&] { return Playing() == paths[i]; }));
        EXPECT_TRUE(WaitFor([&] { return Remote(format) == expected[i]; })) << Remote(format).toStdString();
        EXPECT_TRUE(WaitFor([&] { return heard.titles.contains(expected[i].section(u'|', 0, 0)); }));
    }
    const QString meta = Remote({"metadata"});
    EXPECT_TRUE(meta.contains(QRegularExpression("xesam:albumArtist +みんな\n"))) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QRegularExpression("mpris:length +(29|30)\\d{6}\n"))) << meta.toStdString();
}

// A second player's instance name is tried on the installed program (tests/install).
using WindowWithoutBus = PlayerWindow;

TEST_F(WindowWithoutBus, HasNoRemoteAndTheLogSaysSo) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + appDir.File("no-bus")).toLocal8Bit());
    EXPECT_EQ(StartMpris(*w), nullptr);
    EXPECT_TRUE(ReadFile(appDir.File("log/sirel.log")).contains("MPRIS no session bus"));
}

}  // namespace
}  // namespace rilumo::test

#include "mpris_test.moc"
