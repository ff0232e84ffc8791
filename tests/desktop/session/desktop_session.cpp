#include "tests/desktop/session/desktop_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <xcb/xcb.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <set>

namespace rilumo::desktop {
namespace {

using test::DieWithParent;

QByteArray readProcFile(qint64 pid, const char* name) {
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

std::int64_t statusKb(const QByteArray& status, const char* key) {
    const int at = status.indexOf(key);
    if (at < 0) return 0;
    const int end = status.indexOf('\n', at);
    QByteArray field = status.mid(at + int(std::strlen(key)), end - at - int(std::strlen(key)));
    return field.replace("kB", "").trimmed().toLongLong();
}

ProcUsage usageFrom(qint64 pid) {
    ProcUsage u;
    const QByteArray stat = readProcFile(pid, "stat");
    const QByteArray status = readProcFile(pid, "status");
    // The command name may hold spaces; the fields start after its last ')'.
    const int close = stat.lastIndexOf(')');
    if (close < 0 || status.isEmpty()) return u;
    const QList<QByteArray> f = stat.mid(close + 2).split(' ');
    if (f.size() < 13) return u;
    const double tick = double(sysconf(_SC_CLK_TCK));
    u.cpuSeconds = (f[11].toLongLong() + f[12].toLongLong()) / tick;  // utime, stime
    // Run time in nanoseconds, summed over the threads: finer than clock ticks.
    for (const QString& task : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(QStringLiteral("/proc/%1/task/%2/schedstat").arg(pid).arg(task));
        if (f.open(QIODevice::ReadOnly)) u.runSeconds += f.readAll().split(' ').value(0).toLongLong() / 1e9;
    }
    u.hwmKb = statusKb(status, "VmHWM:");
    u.rssKb = statusKb(status, "VmRSS:");
    // A process that has exited but not been reaped has no memory lines.
    u.ok = u.hwmKb > 0;
    return u;
}

}  // namespace

QString RilumoExecutable() { return QStringLiteral(RILUMO_EXE); }
QString ArtifactsFolder() { return QStringLiteral(RILUMO_ARTIFACTS_DIR); }
QString SourceFolder() { return QStringLiteral(RILUMO_SOURCE_DIR); }

bool HaveTool(const QString& program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

VirtualDisplay::VirtualDisplay(int width, int height) {
    if (!HaveTool("Xvfb")) {
        error_ = "Xvfb is not installed";
        return;
    }
    server_.setChildProcessModifier(DieWithParent);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setStandardOutputFile(QProcess::nullDevice());
    // Lock files tell which numbers are taken; a race with another run shows
    // as a server that exits at once, and the next number is tried.
    for (int n = 90; n < 190 && name_.isEmpty(); ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
            QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
            continue;
        server_.start("Xvfb", {QStringLiteral(":%1").arg(n), "-screen", "0",
                               QStringLiteral("%1x%2x24").arg(width).arg(height), "-br", "-nolisten", "tcp",
                               "-noreset"});
        if (!server_.waitForStarted(3000)) break;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000 && server_.state() == QProcess::Running) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) && XClient(QStringLiteral(":%1").arg(n)).Ok()) {
                name_ = QStringLiteral(":%1").arg(n);
                break;
            }
            server_.waitForFinished(20);
        }
        if (name_.isEmpty()) test::StopChild(server_);
    }
    if (name_.isEmpty()) error_ = "Xvfb could not start a display";
}

VirtualDisplay::~VirtualDisplay() { test::StopChild(server_); }

Child::Child() : env_(QProcessEnvironment::systemEnvironment()) {
    const QString h = home_.path();
    for (const char* sub : {"/config", "/state", "/cache", "/run"}) QDir().mkpath(h + sub);
    QFile::setPermissions(h + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env_.insert("HOME", h);
    env_.insert("XDG_CONFIG_HOME", h + "/config");
    env_.insert("XDG_STATE_HOME", h + "/state");
    env_.insert("XDG_CACHE_HOME", h + "/cache");
    env_.insert("XDG_RUNTIME_DIR", h + "/run");
    env_.remove("WAYLAND_DISPLAY");
    env_.remove("QT_QPA_PLATFORM");
    proc_.setChildProcessModifier(DieWithParent);
    proc_.setProcessChannelMode(QProcess::MergedChannels);
    proc_.setStandardOutputFile(h + "/output.log");
}

Child::~Child() { Kill(); }

bool Child::Start(const QString& program, const QStringList& args) {
    proc_.setProcessEnvironment(env_);
    proc_.start(program, args);
    return proc_.waitForStarted(5000);
}

void Child::Kill() { test::StopChild(proc_); }

ProcUsage ReadProcUsage(qint64 pid) { return pid > 0 ? usageFrom(pid) : ProcUsage{}; }
ProcUsage ReadSelfUsage() { return usageFrom(::getpid()); }

XClient::XClient(const QString& display) {
    int screen = 0;
    xcb_connection_t* c = xcb_connect(display.toLocal8Bit().constData(), &screen);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen && it.rem; ++i) xcb_screen_next(&it);
    conn_ = c;
    root_ = it.data->root;
}

XClient::~XClient() {
    if (conn_) xcb_disconnect(conn_);
}

std::uint32_t XClient::TopLevel() {
    if (!conn_) return 0;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr);
    if (!tree) return 0;
    const xcb_window_t* kids = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    std::uint32_t best = 0;
    int bestArea = 0;
    for (int i = 0; i < count; ++i) {
        auto* attr = xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, kids[i]), nullptr);
        const bool shown = attr && attr->map_state == XCB_MAP_STATE_VIEWABLE && !attr->override_redirect;
        std::free(attr);
        if (!shown) continue;
        auto* geo = xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, kids[i]), nullptr);
        if (geo && geo->width * geo->height > bestArea) {
            bestArea = geo->width * geo->height;
            best = kids[i];
        }
        std::free(geo);
    }
    std::free(tree);
    return best;
}

QImage XClient::Grab(std::uint32_t window) {
    if (!conn_ || !window) return {};
    auto* geo = xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, window), nullptr);
    if (!geo) return {};
    const int w = geo->width, h = geo->height, depth = geo->depth;
    std::free(geo);
    auto* img = xcb_get_image_reply(
        conn_, xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, std::uint16_t(w), std::uint16_t(h), ~0u),
        nullptr);
    if (!img) return {};
    QImage out;
    // 24- and 32-bit visuals both come as 32 bits per pixel, blue first.
    if ((depth == 24 || depth == 32) && xcb_get_image_data_length(img) >= w * h * 4) {
        out = QImage(w, h, QImage::Format_RGB32);
        const auto* src = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(img));
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
            for (int x = 0; x < w; ++x) line[x] = src[y * w + x] | 0xFF000000u;
        }
    }
    std::free(img);
    return out;
}

void XClient::RequestClose(std::uint32_t window) {
    if (!conn_ || !window) return;
    auto intern = [this](const char* name) {
        auto* r = xcb_intern_atom_reply(conn_, xcb_intern_atom(conn_, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return atom;
    };
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = intern("WM_PROTOCOLS");
    ev.data.data32[0] = intern("WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(conn_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    xcb_flush(conn_);
}

bool SendKey(const QString& display, std::uint32_t window, const QString& key) {
    QProcess xdo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    xdo.setProcessEnvironment(env);
    xdo.setProcessChannelMode(QProcess::MergedChannels);
    xdo.start("xdotool", {"windowfocus", "--sync", QString::number(window), "key", key});
    return xdo.waitForFinished(5000) && xdo.exitStatus() == QProcess::NormalExit && xdo.exitCode() == 0;
}

int DistinctColours(const QImage& image, int limit) {
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (seen.insert(line[x]).second && int(seen.size()) >= limit) return limit;
        }
    }
    return int(seen.size());
}

int CountPixels(const QImage& image, const std::function<bool(QRgb)>& wanted) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) n += wanted(line[x]) ? 1 : 0;
    }
    return n;
}

}  // namespace rilumo::desktop
