#include "playback/c_dshow.h"

#include "support/error_trap.h"
#include "support/file_ops.h"

namespace rilumo {

void C_DShow::SetFileName(const QString& name) {
    StopIO();
    FromMS_ = 0;
    ToMS_ = 0;
    if (name == FileName_) return;
    FileName_ = name;
    // A file that does not load leaves the player idle, whatever the flag says.
    const bool ok = Ignore([&] {
        if (!IsRegularFile(name)) Fail("no such file");
        Load(name);
    });
    if (ok) loaded_ = 1;
    else ForgetFile();
}

void C_DShow::Load(const QString& name) {
    DestroyGraph(ctx_);
    ctx_.Control = std::make_unique<graph::Graph>(graph::Catalogue());
    ctx_.Control->RenderFile(name);
    ctx_.Audio = ctx_.Control.get();
    ctx_.Events = ctx_.Control.get();
    ctx_.Position = ctx_.Control.get();
    Length_ = SecondsToMs(ctx_.Position->Duration());
    ToMS_ = Length_;
    ApplyControls(Attenuation_ < -4999 ? -10000 : Attenuation_);
    ctx_.Position->SetCurrentPosition(0);
}

void C_DShow::StopIO() {
    ended_ = false;
    if (GraphPlays()) {
        Trap([&] { ctx_.Control->Stop(); });
        Trap([&] { ctx_.Position->SetCurrentPosition(0); });
    }
    playing_ = 0;
}

void C_DShow::Poll() {
    ended_ = StopAtEnd(GraphState());
    StopPastToMS();
}

std::int32_t C_DShow::Play() {
    ended_ = false;
    if (loaded_ == 0) return 0;
    if (FromMS_ >= Length_) FromMS_ = 0;
    Ignore([&] { ctx_.Position->SetCurrentPosition(FromMS_ / 1000.0); });
    if (playing_ == 0) Ignore([&] { ctx_.Control->Run(); });
    playing_ = 1;
    return 1;
}

void C_DShow::Pause() {
    ended_ = false;
    if (ctx_.Control) TogglePause(false);
}

void C_DShow::CloseWave() {
    StopIO();
    DestroyGraph(ctx_);
    ForgetFile();
    FromMS_ = 0;
}

}  // namespace rilumo
