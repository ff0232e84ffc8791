#include "support/settings.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <memory>

#include "support/convert.h"
#include "support/error_trap.h"
#include "support/log.h"
#include "support/paths.h"
#include "support/text.h"

namespace rilumo {

namespace {

const QString kEmptyMark = QStringLiteral("***");
const QString kDefaultMark = QStringLiteral("ISDEFAULT");

// Where the native store lives. An empty subkey means company\application,
// lower-cased, as the program always asks; a given subkey ("Software\a\b" or
// "a/b") names the folder and file below the user's config folder instead.
std::unique_ptr<QSettings> openNative(const QString& appName, const QString& subkey) {
    QString organisation, application;
    if (TrimSpaces(subkey).isEmpty()) {
        organisation = QString::fromLatin1(kCompanyName).toLower();
        application = (appName.isEmpty() ? QString::fromLatin1(kAppTitle) : appName).toLower();
    } else {
        QStringList parts = QString(subkey).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
        if (!parts.isEmpty() && parts.first().compare(u"Software", Qt::CaseInsensitive) == 0)
            parts.removeFirst();
        if (parts.isEmpty()) Fail("settings subkey names no location");
        organisation = parts.takeFirst();
        application = parts.join(u'/');
    }
    // The native format on this platform is the ini syntax in a ".conf" file.
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, organisation,
                                       application);
}

std::unique_ptr<QSettings> openIni(const QString& file, const QString& section) {
    const QString path = file.isEmpty() ? AppFolder() + QString::fromLatin1(kAppTitle) + ".ini" : file;
    auto s = std::make_unique<QSettings>(path, QSettings::IniFormat);
    s->beginGroup(section.isEmpty() ? QStringLiteral("conf") : section);
    return s;
}

// Qt reads an unquoted hand-typed value with commas as a list; the store only
// knows texts, so such a value is joined back.
QString storedText(const QVariant& v) {
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

// Qt reuses a parsed file while its size and time stamp stay the same, and
// reports a parse failure only on the first parse; the failure is remembered
// for exactly that state of the file.
struct FileState {
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileState&) const = default;
};

QHash<QString, FileState>& corruptFiles() {
    static QHash<QString, FileState> files;
    return files;
}

QSettings::Status statusOf(const QSettings& s) {
    const QFileInfo fi(s.fileName());
    const FileState now{fi.exists() ? fi.size() : -1, fi.lastModified()};
    if (s.status() == QSettings::FormatError) {
        corruptFiles().insert(s.fileName(), now);
        return QSettings::FormatError;
    }
    const auto it = corruptFiles().constFind(s.fileName());
    if (it != corruptFiles().constEnd()) {
        if (*it == now) return QSettings::FormatError;
        corruptFiles().erase(it);
    }
    return s.status();
}

// A file Qt could not read or parse counts as holding nothing.
bool readable(const QSettings& s) { return statusOf(s) == QSettings::NoError; }

void store(QSettings& s, const QString& key, const Value& value) {
    QString text = value.ToText();
    if (text.isEmpty()) text = kEmptyMark;
    const QSettings::Status status = statusOf(s);
    if (key.isEmpty() || status == QSettings::AccessError) return;
    // Writing rewrites the whole file from what Qt could parse; a file it could
    // not parse is copied aside first so that the hand-edited original survives.
    if (status == QSettings::FormatError) {
        const QString aside = s.fileName() + QStringLiteral(".corrupt");
        QFile::remove(aside);
        QFile::copy(s.fileName(), aside);
    }
    s.setValue(key, text);
    s.sync();
}

}  // namespace

QString ReadSetting(const QString& key, const Value& def) {
    if (!globals::IniOverride.isEmpty()) return ReadIni(key, def, globals::IniOverride, QString(), 1);
    return ReadReg(key, def, globals::AppNameOverride, QString());
}

void WriteSetting(const QString& key, const Value& value) {
    if (!globals::IniOverride.isEmpty())
        WriteIni(key, value, globals::IniOverride, QString());
    else
        WriteReg(key, value, globals::AppNameOverride, QString());
}

QString ReadReg(const QString& key, const Value& def, const QString& appName, const QString& subkey) {
    return TrapOr(QString(), [&] {
        QString result = def.ToText();
        // A pure read: QSettings writes nothing back, so no file or folder appears.
        // Values of any length read back whole (a deep folder path included).
        const auto s = openNative(appName, subkey);
        if (readable(*s) && !key.isEmpty() && s->contains(key))
            result = TrimSpaces(CutAtNul(storedText(s->value(key))));
        if (result == kEmptyMark) result.clear();
        return result;
    });
}

void WriteReg(const QString& key, const Value& value, const QString& appName, const QString& subkey) {
    Trap([&] {
        const auto s = openNative(appName, subkey);
        store(*s, key, value);
    });
}

QString ReadIni(const QString& key, const Value& def, const QString& file, const QString& section,
                int writeDefault) {
    return TrapOr(QString(), [&] {
        QString result = kDefaultMark;
        bool fileReadable = false;
        {
            const auto s = openIni(file, section);
            fileReadable = readable(*s);
            if (fileReadable && !key.isEmpty())
                result = CutAtNul(storedText(s->value(key, kDefaultMark)));
        }
        if (result == kDefaultMark) {
            result = def.ToText();
            // Writing the default back into a file that could not be read would
            // rewrite it from a read.
            if (writeDefault == 1 && fileReadable) WriteIni(key, def, file, section);
        }
        if (result == kEmptyMark) result.clear();
        return result;
    });
}

void WriteIni(const QString& key, const Value& value, const QString& file, const QString& section) {
    Trap([&] {
        const auto s = openIni(file, section);
        store(*s, key, value);
    });
}

void RestoreWindowPlacement(PlacementTarget& window, const QString& prefix, bool skipSize,
                            bool skipState, bool skipPosition) {
    // A stored value that is no number ends the restore; what was applied stays.
    Trap([&] {
        if (window.State() == 0) {
            if (!skipPosition) {
                window.SetLeft(ToInt32(ReadSetting(prefix + "WindowLeft", window.Left())));
                window.SetTop(ToInt32(ReadSetting(prefix + "WindowTop", window.Top())));
            }
            if (!skipSize) {
                window.SetHeight(ToInt32(ReadSetting(prefix + "WindowHeight", window.Height())));
                window.SetWidth(ToInt32(ReadSetting(prefix + "WindowWidth", window.Width())));
            }
        }
        if (!skipState) window.SetState(ToInt16(ReadSetting(prefix + "WindowState", window.State())));
    });
}

void SaveWindowPlacement(PlacementTarget& window, const QString& prefix, bool skipSize, bool skipState) {
    Trap([&] {
        if (window.State() == 0) {
            WriteSetting(prefix + "WindowLeft", window.Left());
            WriteSetting(prefix + "WindowTop", window.Top());
            if (!skipSize) {
                WriteSetting(prefix + "WindowHeight", window.Height());
                WriteSetting(prefix + "WindowWidth", window.Width());
            }
        }
        if (!skipState) WriteSetting(prefix + "WindowState", window.State());
    });
}

QString NativeSettingsFile() { return openNative(globals::AppNameOverride, QString())->fileName(); }

}  // namespace rilumo
