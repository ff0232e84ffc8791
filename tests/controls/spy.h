#pragma once
// Records every emission of one signal with its arguments.

#include <memory>
#include <tuple>
#include <vector>

#include <QObject>

namespace rilumo::test {

template <class... Args>
class Spy {
public:
    template <class Obj, class Signal>
    Spy(Obj* sender, Signal signal) : calls_(std::make_shared<std::vector<std::tuple<Args...>>>()) {
        auto calls = calls_;
        QObject::connect(sender, signal, sender, [calls](Args... a) { calls->emplace_back(a...); });
    }
    int count() const { return static_cast<int>(calls_->size()); }
    const std::tuple<Args...>& operator[](int i) const { return (*calls_)[static_cast<size_t>(i)]; }
    void clear() { calls_->clear(); }

private:
    std::shared_ptr<std::vector<std::tuple<Args...>>> calls_;
};

}  // namespace rilumo::test
