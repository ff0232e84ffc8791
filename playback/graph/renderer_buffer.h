#pragma once
// The sound server's buffer behind a renderer's sink.

#include <gst/gst.h>

namespace rilumo::graph {

// Gives every audio sink in the renderer, and any an automatic sink picks
// later, the larger buffer and segment below.
void TuneRendererBuffer(GstElement* renderer);

}  // namespace rilumo::graph
