#pragma once
// The catalogue of registered filters: an ordered list of friendly names,
// each with the recipe that makes its elements. An entry is registered only
// when every GStreamer factory its recipe needs exists on this machine, so a
// name that is not in the catalogue really is a decoder the machine lacks.

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace rilumo::graph {

enum class OutputKind {
    Static,   // the output pad exists from the start
    Dynamic,  // the element named "demux" adds its pads only once data flows
};

// A pin named explicitly: pad `pad` of element `element` inside the recipe.
struct PinSpec {
    QString name;
    QString element;
    QString pad;
};

struct Recipe {
    QStringList factories;   // every one must exist for the recipe to be usable
    QString description;     // a gst-launch bin description
    bool fileSource = false; // its "location" takes the file name
    bool renderer = false;   // ends the chain; holds the volume and balance controls
    OutputKind output = OutputKind::Static;
    // Media types a typefind element named "gate" lets through; empty = no gate.
    QStringList gate;
    // Explicit pins (inputs first); empty = one pin per unlinked pad.
    QList<PinSpec> inputs;
    QList<PinSpec> outputs;
};

struct RegFilter {
    QString Name;
    Recipe recipe;
};

class Catalogue {
public:
    // Registers name with the first alternative whose factories all exist;
    // false (and nothing registered) when none does.
    bool Register(const QString& name, const QList<Recipe>& alternatives);
    const std::vector<RegFilter>& Entries() const { return entries_; }

private:
    std::vector<RegFilter> entries_;
};

// The renderer bin every audio renderer entry is made of: conversion, the
// volume and balance controls, then sinkDescription.
Recipe RendererRecipe(const QString& sinkDescription);

// The sink the default renderers end in. RILUMO_AUDIO_SINK selects it: unset,
// empty or "auto" = the system's default audio output, "null" = a clocked
// fakesink (real time, no sound card), anything else = a gst-launch sink
// description such as "pulsesink" or "alsasink device=hw:1".
QString DefaultSinkDescription();
inline constexpr const char* kNullSinkDescription = "fakesink sync=true";

// Every filter this machine can offer, in a fixed order.
Catalogue SystemCatalogue();
// The same, with every renderer ending in the null sink: for graphs built only
// to learn something about a file, which must never open a sound stream.
Catalogue SilentCatalogue();

// The filters Connect puts between two pins that cannot meet directly; no
// catalogue registers them.
inline constexpr const char* kStreamDecoder = "Stream Decoder";
inline constexpr const char* kAudioConverter = "Audio Converter";
RegFilter InsertedFilter(const char* name);

// The General MIDI sound font the MIDI renderer loads (RILUMO_SOUNDFONT
// overrides); empty when none is installed.
QString SoundFontPath();

bool HasFactory(const QString& name);

}  // namespace rilumo::graph
