// The install rules, the Debian package, and the installed program run as a
// user runs it: from a prefix the user cannot write, opened by a desktop.

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDirIterator>
#include <QImage>
#include <QProcess>

#include <grp.h>
#include <unistd.h>

#include <vector>

#include "support/paths.h"
#include "tests/app/window_fixture.h"
#include "tests/app/mpris/session_bus.h"

namespace rilumo::test {
namespace {

const QString kBuild = QStringLiteral(RILUMO_BUILD_DIR);
const int kIconSizes[] = {16, 32, 48, 64, 128, 256};

QStringList InstalledFiles() {
    QStringList files = {"bin/rilumo", "bin/rilumo-info", "share/applications/rilumo.desktop",
                         "share/icons/hicolor/scalable/apps/rilumo.svg", "share/mime/packages/rilumo.xml"};
    for (int s : kIconSizes) files << QString("share/icons/hicolor/%1x%1/apps/rilumo.png").arg(s);
    files.sort();
    return files;
}

QStringList FilesUnder(const QString& root) {
    QStringList files;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

struct Result {
    int code = -1;
    QString out;  // output and errors together
};

Result RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000)) StopChild(p);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

Result Install(const QString& prefix) { return RunTool("cmake", {"--install", kBuild, "--prefix", prefix}); }

constexpr QFile::Permissions kReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                               QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
constexpr QFile::Permissions kOpenFolder = kReadOnlyFolder | QFile::WriteOwner;

// CI runs as root, whom no folder refuses. What a user meets in a folder he
// cannot write is tried as nobody; root is taken back at the end of scope.
class AsUser {
public:
    AsUser() : wasRoot_(::geteuid() == 0) {
        if (!wasRoot_) return;
        groups_.resize(::getgroups(0, nullptr));
        groups_.resize(::getgroups(static_cast<int>(groups_.size()), groups_.data()));
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, 0) == 0 &&
                             ::setresuid(kNobody, kNobody, 0) == 0;
        EXPECT_TRUE(dropped) << "cannot become nobody";
    }
    ~AsUser() {
        if (!wasRoot_) return;
        EXPECT_EQ(::setresuid(0, 0, 0), 0);
        EXPECT_EQ(::setresgid(0, 0, 0), 0);
        EXPECT_EQ(::setgroups(groups_.size(), groups_.data()), 0);
    }
    AsUser(const AsUser&) = delete;
    AsUser& operator=(const AsUser&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    const bool wasRoot_;
    std::vector<gid_t> groups_;
};

TEST(Install, PutsEveryFileWhereDesktopsLookAndTheLauncherIsValid) {
    TempDir prefix;
    const Result installed = Install(prefix.Path());
    ASSERT_EQ(installed.code, 0) << installed.out.toStdString();
    EXPECT_EQ(FilesUnder(prefix.Path()), InstalledFiles());
    for (int s : kIconSizes)
        EXPECT_EQ(QImage(prefix.File(QString("share/icons/hicolor/%1x%1/apps/rilumo.png").arg(s))).size(), QSize(s, s));

    const QString launcher = prefix.File("share/applications/rilumo.desktop");
    const Result valid = RunTool("desktop-file-validate", {launcher});
    EXPECT_EQ(valid.code, 0);
    EXPECT_EQ(valid.out, "");

    // The list files' type is known to the MIME database built from the prefix.
    const QString mime = prefix.File("share/mime");
    ASSERT_EQ(RunTool("update-mime-database", {mime}).code, 0);
    const QString globs = QString::fromUtf8(ReadFile(mime + "/globs2"));
    EXPECT_TRUE(globs.contains("audio/x-rilumo-playlist:*.lst")) << globs.toStdString();
    EXPECT_TRUE(globs.contains("audio/x-rilumo-playlist:*.rnl"));
}

TEST(Install, TheDebianPackageHoldsTheSameFilesAndItsDependenciesResolveHere) {
    TempDir out;
    const Result packed = RunTool("cpack", {"-G", "DEB", "-B", out.Path(), "--config", kBuild + "/CPackConfig.cmake"});
    ASSERT_EQ(packed.code, 0) << packed.out.toStdString();
    const QStringList debs = QDir(out.Path()).entryList({"rilumo_*.deb"});
    ASSERT_EQ(debs.size(), 1);
    const QString deb = out.File(debs[0]);

    QStringList files;
    for (const QString& line : RunTool("dpkg-deb", {"-c", deb}).out.split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith('d')) files << line.section(' ', -1).remove(0, QString("./usr/").size());
    files.sort();
    EXPECT_EQ(files, InstalledFiles());

    const QString depends = RunTool("dpkg-deb", {"-f", deb, "Depends"}).out;
    for (const char* loaded : {"qt6-qpa-plugins", "gstreamer1.0-plugins-ugly", "fonts-noto-cjk", "fluid-soundfont-gm"})
        EXPECT_TRUE(depends.contains(loaded)) << depends.toStdString();
    for (const QString& group : depends.split(',')) {
        bool found = false;
        for (const QString& alternative : group.split('|')) {
            const QString name = alternative.trimmed().section(' ', 0, 0);
            found = found || RunTool("dpkg-query", {"-W", "-f=${Status}", name}).out == "install ok installed";
        }
        EXPECT_TRUE(found) << "not installed here: " << group.toStdString();
    }
}

TEST(Install, TheInstalledProgramRunsAsAUserWithItsListLogAndRemote) {
    TempDir prefix;
    ASSERT_EQ(Install(prefix.Path()).code, 0);
    const QString bin = prefix.File("bin");
    QFile::setPermissions(prefix.Path(), kOpenFolder);
    QFile::setPermissions(bin, kReadOnlyFolder);
    const QStringList launcherTypes = QString::fromUtf8(ReadFile(prefix.File("share/applications/rilumo.desktop")))
                                          .section("MimeType=", 1)
                                          .section('\n', 0, 0)
                                          .split(';', Qt::SkipEmptyParts);
    {
        AsUser user;
        TempDir home;
        const QString music = home.File("music/");
        ASSERT_TRUE(WriteSineWave(music + "t0.wav", 8000, 1, 16, 440, 20000));
        ASSERT_TRUE(WriteSineWave(music + "t1.wav", 8000, 1, 16, 660, 20000));
        ASSERT_TRUE(WriteFile(music + "list.lst", (music + "t0.wav\r\n" + music + "t1.wav\r\n").toUtf8()));
        ASSERT_TRUE(WriteFile(home.File("config/korvent/sirel.conf"), "[General]\nLogError=1\n"));
        SessionBus bus;
        ASSERT_TRUE(bus.Ok());
        QProcessEnvironment env = bus.Env();
        for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            env.remove(var);
        env.insert("HOME", home.Path());
        env.insert("XDG_CONFIG_HOME", home.File("config"));
        env.insert("XDG_STATE_HOME", home.File("state"));
        env.insert("XDG_RUNTIME_DIR", home.File("run"));
        QDir().mkpath(home.File("run"));
        QFile::setPermissions(home.File("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("GST_REGISTRY", home.File("gst-registry.bin"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("RILUMO_AUDIO_SINK", "null");
        auto start = [&](QProcess& p, const QString& arg) {
            p.setProcessEnvironment(env);
            p.setChildProcessModifier(DieWithParent);
            p.start(bin + "/rilumo", {arg});
            ASSERT_TRUE(p.waitForStarted());
        };
        QDBusConnection desktop = QDBusConnection::connectToBus(bus.Address(), "desktop");
        auto property = [&](const QString& name, const QString& interface, const QString& property) {
            QDBusInterface props(name, "/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties", desktop);
            const QDBusReply<QVariant> reply = props.call("Get", interface, property);
            return reply.isValid() ? reply.value() : QVariant();
        };

        QProcess first;
        start(first, music + "list.lst");
        EXPECT_TRUE(WaitFor([&] { return bus.Playerctl({"metadata", "xesam:title"}) == "t0"; }, 30000))
            << "the list named on the command line is loaded";
        EXPECT_EQ(bus.Playerctl({"status"}), "Stopped");
        const QString base = "org.mpris.MediaPlayer2.rilumo";
        EXPECT_EQ(property(base, "org.mpris.MediaPlayer2", "SupportedMimeTypes").toStringList(),
                  launcherTypes.mid(1))
            << "the launcher offers the player what the player says it plays";
        const QString entry = property(base, "org.mpris.MediaPlayer2", "DesktopEntry").toString();
        EXPECT_TRUE(QFileInfo::exists(prefix.File("share/applications/" + entry + ".desktop"))) << entry.toStdString();
        bus.Playerctl({"play"});
        EXPECT_TRUE(WaitFor([&] { return bus.Playerctl({"status"}) == "Playing"; }));

        // A file manager's "open with" on an audio file, while the first still runs.
        QProcess second;
        start(second, music + "t1.wav");
        const QString instance = base + QString(".instance%1").arg(second.processId());
        EXPECT_TRUE(WaitFor(
            [&] { return property(instance, "org.mpris.MediaPlayer2.Player", "PlaybackStatus").toString() == "Playing"; },
            30000));
        const QVariant meta = property(instance, "org.mpris.MediaPlayer2.Player", "Metadata");
        EXPECT_EQ(qdbus_cast<QVariantMap>(meta).value("xesam:title").toString(), "t1");
        QDBusInterface(instance, "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2", desktop).call("Quit");
        EXPECT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitCode(), 0);
        StopChild(first);
        EXPECT_EQ(first.exitCode(), 0);
        QDBusConnection::disconnectFromBus("desktop");

        // Nothing beside the program; the log in the state folder, the settings in the config folder.
        EXPECT_FALSE(QFileInfo::exists(bin + "/log"));
        const QString log = QString::fromUtf8(ReadFile(home.File("state/sirel/log/sirel.log")));
        EXPECT_TRUE(log.contains("MPRIS " + base + "\r\n")) << log.toStdString();
        EXPECT_TRUE(log.contains("MPRIS " + instance + "\r\n")) << log.toStdString();
        EXPECT_TRUE(ReadFile(home.File("config/korvent/sirel.conf")).contains("IsRemain=0"));
    }
    QFile::setPermissions(bin, kOpenFolder);
}

// An installed program's folder is a system folder: with nothing remembered
// yet, the list and folder dialogs start at home instead.
using InstalledWindow = PlayerWindow;

TEST_F(InstalledWindow, DialogsStartAtHomeWhenTheProgramFolderIsReadOnly) {
    w->MenuFileClick(0);
    EXPECT_EQ(dialogs.askedStart, AppFolder()) << "a build run from its tree keeps its folder";
    w->MenuFileClick(2);
    EXPECT_EQ(dialogs.askedStart + '/', AppFolder());

    QFile::setPermissions(appDir.Path(), kReadOnlyFolder);
    {
        AsUser user;
        for (int command : {0, 1, 2}) {
            dialogs.askedStart.clear();
            w->MenuFileClick(command);
            EXPECT_EQ(dialogs.askedStart, QDir::homePath()) << "command " << command;
        }
    }
    QFile::setPermissions(appDir.Path(), kOpenFolder);
}

}  // namespace
}  // namespace rilumo::test
