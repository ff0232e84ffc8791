#pragma once
// The settings store: one text value per key name. The native back end is the
// per-user config file ~/.config/korvent/sirel.conf ($XDG_CONFIG_HOME), the
// ini back end an explicit ini file with section "conf". Nothing is cached:
// every call opens, reads or writes, and closes.

#include <QString>

#include "support/value.h"

namespace rilumo {

namespace globals {
// When not empty, ReadSetting/WriteSetting use this ini file (never set by the program).
inline QString IniOverride;
// When not empty, replaces the application title in the native store's location.
inline QString AppNameOverride;
}  // namespace globals

QString ReadSetting(const QString& key, const Value& def);
void WriteSetting(const QString& key, const Value& value);

// Back ends. Empty appName/subkey/file/section select the defaults.
QString ReadReg(const QString& key, const Value& def, const QString& appName, const QString& subkey);
void WriteReg(const QString& key, const Value& value, const QString& appName, const QString& subkey);
QString ReadIni(const QString& key, const Value& def, const QString& file, const QString& section,
                int writeDefault);
void WriteIni(const QString& key, const Value& value, const QString& file, const QString& section);

// A window's placement in twips, as RestoreWindowPlacement/SaveWindowPlacement
// see it; the widget adapter lives in support/ui/window_placement.h.
class PlacementTarget {
public:
    virtual ~PlacementTarget() = default;
    virtual int State() const = 0;  // 0 normal, 1 minimised, 2 maximised
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetState(int state) = 0;
    virtual void SetLeft(int twips) = 0;
    virtual void SetTop(int twips) = 0;
    virtual void SetWidth(int twips) = 0;
    virtual void SetHeight(int twips) = 0;
};

void RestoreWindowPlacement(PlacementTarget& window, const QString& prefix, bool skipSize,
                            bool skipState, bool skipPosition);
void SaveWindowPlacement(PlacementTarget& window, const QString& prefix, bool skipSize, bool skipState);

// The file behind ReadSetting/WriteSetting when no ini override is set.
QString NativeSettingsFile();

}  // namespace rilumo
