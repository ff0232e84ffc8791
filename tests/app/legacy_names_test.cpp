// Lists and file names from Japanese Windows desktops and old archives: CP932
// lists with backslashes, UTF-16 lists, and names on disk that are not UTF-8,
// from the folder scan, lists, the command line and drops through playback and
// back into a saved list.

#include <QMimeData>

#include <fcntl.h>
#include <unistd.h>

#include "app/playlist_commands.h"
#include "support/file_ops.h"
#include "tests/app/window_fixture.h"

namespace rilumo {
namespace {

using test::PlayerWindow;

enum Menu { kLoad = 0, kSave = 1, kFolder = 2 };

// The Japanese of the fixtures in the bytes a Japanese Windows desktop writes.
QByteArray Cp932(const char* utf8) {
    static const struct {
        const char* text;
        const char* bytes;
    } table[] = {{"一曲目", "\x88\xEA\x8B\xC8\x96\xDA"},
                 {"二曲目", "\x93\xF1\x8B\xC8\x96\xDA"},
                 {"東京", "\x93\x8C\x8B\x9E"},
                 {"表", "\x95\x5C"},
                 {"三", "\x8E\x4F"}};
    QByteArray out(utf8);
    for (const auto& row : table) out.replace(row.text, row.bytes);
    return out;
}

class LegacyNames : public PlayerWindow {
protected:
    // The temporary folder's own clean-up cannot name what Qt cannot name.
    void TearDown() override {
        PlayerWindow::TearDown();
        for (auto it = created.rbegin(); it != created.rend(); ++it) ::unlink(it->constData());
    }
    QByteArray Folder() const { return PathToBytes(media.Path() + u'/'); }
    // Written through the bytes: Qt cannot create a name that is not UTF-8.
    QString WriteRaw(const QByteArray& name, const QByteArray& bytes) {
        const QByteArray full = name.startsWith('/') ? name : Folder() + name;
        const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
        if (HasRawBytes(PathFromBytes(full))) created << full;
        return PathFromBytes(full);
    }
    QString Wave(const QByteArray& name) {
        return WriteRaw(name, test::PcmWave(44100, 2, 16, test::SineSamples(44100, 2, 16, 440, 3000)));
    }
    QList<QByteArray> created;
    QStringList Paths() {
        QStringList t;
        for (int i = 0; i < w->LV().ItemCount(); ++i) t << w->LV().AuxID(i, 0).ToText();
        return t;
    }
    QStringList Titles() {
        QStringList t;
        for (int i = 0; i < w->LV().ItemCount(); ++i) t << w->LV().Value(i, 0).ToText();
        return t;
    }
    void Load(const QString& list) {
        dialogs.files << list;
        w->MenuFileClick(kLoad);
    }
};

TEST_F(LegacyNames, ListsFromJapaneseWindowsLoadEveryEntry) {
    QDir(media.Path()).mkdir(QString::fromUtf8("東京"));
    const QStringList files = {Wave(QString::fromUtf8("一曲目.wav").toUtf8()),
                               Wave(QString::fromUtf8("東京/二曲目.wav").toUtf8()),
                               Wave(QString::fromUtf8("東京/表.wav").toUtf8()),
                               Wave(QString::fromUtf8("三.wav").toUtf8())};
    // CP932, CR LF, relative paths with backslashes; "表" ends in the byte 0x5C.
    Load(WriteRaw("win.m3u", Cp932("#EXTM3U\r\n#EXTINF:3,一曲目\r\n一曲目.wav\r\n東京\\二曲目.wav\r\n"
                                   ".\\東京\\表.wav\r\n三.wav\r\n")));
    EXPECT_EQ(Paths(), files);

    const QString text = QChar(0xFEFF) + QString::fromUtf8("一曲目.wav\r\n東京\\二曲目.wav\r\n三.wav\r\n");
    Load(WriteRaw("unicode.m3u8", QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)));
    EXPECT_EQ(Paths(), (QStringList{files[0], files[1], files[3]}));

    // One CP932 line among UTF-8 ones costs none of them.
    Load(WriteRaw("mixed.m3u", QString::fromUtf8("一曲目.wav\n").toUtf8() + Cp932("東京/二曲目.wav\n") +
                                   QString::fromUtf8("三.wav\n").toUtf8()));
    EXPECT_EQ(Paths(), (QStringList{files[0], files[1], files[3]}));
}

TEST_F(LegacyNames, NamesThatAreNotUtf8FillPlayAndSaveBackByteExact) {
    const QString tokyo = Wave("\x93\x8C\x8B\x9E.wav");  // CP932 "東京"
    const QString broken = Wave("bad\xFF.wav");           // no encoding at all
    dialogs.folders << media.Path();
    w->MenuFileClick(kFolder);
    EXPECT_EQ(Titles(), (QStringList{"bad\\xFF", QString::fromUtf8("東京")}));
    EXPECT_EQ(Paths(), (QStringList{broken, tokyo}));

    const QString saved = appDir.File("saved.lst");
    dialogs.files << saved;
    w->MenuFileClick(kSave);
    EXPECT_EQ(test::ReadFile(saved), Folder() + "bad\xFF.wav\r\n" + Folder() + "\x93\x8C\x8B\x9E.wav\r\n");

    Load(saved);
    ASSERT_EQ(Paths(), (QStringList{broken, tokyo}));
    Select(1);
    w->PlayFrom();
    ASSERT_TRUE(WaitForStatus("PLAY"));
    EXPECT_EQ(PathToBytes(Playing()), Folder() + "\x93\x8C\x8B\x9E.wav");
}

TEST_F(LegacyNames, CommandLineAndDropsCarryNamesThatAreNotUtf8) {
    const QString tokyo = Wave("\x93\x8C\x8B\x9E.wav");
    const QString list = WriteRaw("\x83\x8A\x83\x58\x83\x67.lst", PathToBytes(tokyo) + "\r\n");  // "リスト"
    QByteArray arg = PathToBytes(list);
    char* argv[] = {const_cast<char*>("rilumo"), arg.data(), nullptr};
    w->close();
    w = std::make_unique<FrmMain>(StartupArgsFrom(2, argv));
    w->Load();
    ASSERT_TRUE(WaitFor([&] { return w->LV().ItemCount() == 1; }));
    EXPECT_EQ(Paths(), QStringList{tokyo});

    // A file manager's drop: the file, and the list itself, read as a list.
    QMimeData data;
    data.setData("text/uri-list", FileUriOf(tokyo) + "\r\n" + FileUriOf(list) + "\r\n");
    emit w->LV().OLEDragDrop(&data, 1, 1, 0, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return w->LV().ItemCount() == 3; }));
    EXPECT_EQ(Paths(), (QStringList{tokyo, tokyo, tokyo}));
}

TEST_F(LegacyNames, SaveLeavesOutNamesWithLineBreaksAndSaysWhich) {
    const QString plain = Wave("a.wav");
    const QString twoLines = Wave("b\nc.wav");
    w->AddTitle(plain, -2);
    w->AddTitle(twoLines, -2);
    const QString saved = appDir.File("out.lst");
    dialogs.files << saved;
    w->MenuFileClick(kSave);
    EXPECT_EQ(test::ReadFile(saved), PathToBytes(plain) + "\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains(media.File("b\\nc.wav")));
    EXPECT_EQ(w->LV().ItemCount(), 2);
}

}  // namespace
}  // namespace rilumo
