#include "core/catalogue/History.h"

namespace sorabel {

void History::clear() {
    steps_.clear();
    applied_ = 0;
    clean_ = 0;
}

void History::push(HistoryStep step) {
    closeTyping();
    if (clean_ && *clean_ > applied_)
        clean_.reset(); // the saved state lay among the dropped redo steps
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(applied_), steps_.end());
    steps_.push_back(std::move(step));
    ++applied_;
    while (steps_.size() > depth_) {
        steps_.pop_front();
        --applied_;
        if (clean_)
            clean_ = *clean_ == 0 ? std::nullopt : std::optional<size_t>(*clean_ - 1);
    }
}

HistoryStep* History::openTyping() {
    if (applied_ == 0 || applied_ != steps_.size() || !steps_.back().typing)
        return nullptr;
    return &steps_.back();
}

void History::closeTyping() {
    if (!steps_.empty())
        steps_.back().typing = false;
}

void History::markClean() {
    closeTyping();
    clean_ = applied_;
}

} // namespace sorabel
