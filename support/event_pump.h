#pragma once

namespace rilumo {

// Lets pending window messages run (timer ticks, input, repaints), so that a
// long command stays responsive. Safe to call without an application object.
void DoEvents();

// How deeply DoEvents calls are nested right now; the tick uses it to skip a
// tick that would run inside another tick.
int EventPumpDepth();

}  // namespace rilumo
