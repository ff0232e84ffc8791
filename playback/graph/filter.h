#pragma once
// Filters and pins of a graph. A filter is one bin of elements made from a
// catalogue recipe; its pins are the bin's ghost pads, present from the
// moment the filter is added even where the pad behind them only appears
// once data flows.

#include <QString>

#include <memory>
#include <vector>

#include "playback/graph/catalogue.h"

namespace rilumo::graph {

class Graph;
class Filter;
struct FilterImpl;
struct PinImpl;

class Pin {
public:
    ~Pin();
    Pin(const Pin&) = delete;
    Pin& operator=(const Pin&) = delete;

    // 0 input, 1 output.
    int Direction() const;
    QString PinID() const;
    QString Name() const { return PinID(); }
    Filter& FilterInfo() const;
    // The pin at the other end of this pin's link, or null.
    Pin* ConnectedTo() const;
    // Links this output pin to an input pin, inserting a decoder or a
    // converter when the two cannot meet directly. Throws Failure.
    void Connect(Pin& input);
    // Breaks this pin's link; nothing happens when it has none.
    void Disconnect();

    PinImpl& Impl() { return *impl_; }

private:
    friend class Filter;
    friend struct FilterImpl;
    explicit Pin(std::unique_ptr<PinImpl> impl);
    std::unique_ptr<PinImpl> impl_;
};

class Filter {
public:
    ~Filter();
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    QString Name() const;
    int IsFileSource() const;
    QString Filename() const;
    // Throws Failure when this is no file source or the path is no regular file.
    void SetFilename(const QString& path);
    const std::vector<std::unique_ptr<Pin>>& Pins() const;
    bool IsRenderer() const;
    bool IsConnected() const;

    FilterImpl& Impl() { return *impl_; }

private:
    friend class Graph;
    Filter(Graph& graph, const QString& name, const Recipe& recipe);
    std::unique_ptr<FilterImpl> impl_;
};

}  // namespace rilumo::graph
