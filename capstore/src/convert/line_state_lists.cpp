// Moves between the line-state lists: Include keeps the user's order,
// Exclude stays in ascending index order.
#include "convert/line_state_lists.h"

#include <algorithm>

namespace capstore {
namespace {

bool any_selected(const std::vector<LineStateItem>& list) {
    return std::any_of(list.begin(), list.end(), [](const LineStateItem& i) { return i.selected; });
}

void select(std::vector<LineStateItem>& list, const std::vector<int>& positions) {
    for (auto& item : list) item.selected = false;
    for (int p : positions)
        if (p >= 0 && p < static_cast<int>(list.size())) list[static_cast<std::size_t>(p)].selected = true;
}

// Takes the selected items out of a list, in ascending position.
std::vector<LineStateItem> take_selected(std::vector<LineStateItem>& list) {
    std::vector<LineStateItem> taken;
    for (const auto& item : list)
        if (item.selected) taken.push_back(item);
    std::erase_if(list, [](const LineStateItem& i) { return i.selected; });
    return taken;
}

}  // namespace

void LineStateLists::load(const signed char (&states)[8]) {
    include_.clear();
    exclude_.clear();
    bool used[8] = {};
    for (signed char s : states) {
        if (s < 0) break;
        if (s > 7 || used[s]) continue;
        used[s] = true;
        include_.push_back({s});
    }
    for (int i = 0; i < 8; ++i)
        if (!used[i]) exclude_.push_back({i});
    to_include_ = to_exclude_ = up_ = down_ = false;
}

void LineStateLists::store(signed char (&states)[8]) const {
    std::fill(std::begin(states), std::end(states), static_cast<signed char>(-1));
    for (std::size_t i = 0; i < include_.size() && i < 8; ++i) states[i] = static_cast<signed char>(include_[i].index);
}

void LineStateLists::select_exclude(const std::vector<int>& positions) {
    select(exclude_, positions);
    to_include_ = any_selected(exclude_);
}

void LineStateLists::select_include(const std::vector<int>& positions) {
    select(include_, positions);
    to_exclude_ = any_selected(include_);
    up_down_rule();
}

void LineStateLists::move_to_include() {
    auto moved = take_selected(exclude_);
    for (auto& item : include_) item.selected = false;
    for (auto& item : moved) include_.push_back({item.index, true});
    if (moved.empty()) return;
    to_include_ = false;
    to_exclude_ = true;
    up_down_rule();
}

void LineStateLists::move_to_exclude() {
    auto moved = take_selected(include_);
    for (auto& item : exclude_) item.selected = false;
    for (auto& item : moved) {
        const auto at = std::find_if(exclude_.begin(), exclude_.end(),
                                     [&](const LineStateItem& e) { return e.index > item.index; });
        exclude_.insert(at, {item.index, true});
    }
    to_include_ = true;
    to_exclude_ = false;
    up_ = down_ = false;
}

void LineStateLists::move_up() { move_by(-1); }
void LineStateLists::move_down() { move_by(1); }

void LineStateLists::move_by(int step) {
    const auto count =
        std::count_if(include_.begin(), include_.end(), [](const LineStateItem& i) { return i.selected; });
    if (count != 1) return;
    const auto it = std::find_if(include_.begin(), include_.end(), [](const LineStateItem& i) { return i.selected; });
    const auto from = it - include_.begin();
    const auto to = from + step;
    if (to < 0 || to >= static_cast<long>(include_.size())) return;
    std::swap(include_[static_cast<std::size_t>(from)], include_[static_cast<std::size_t>(to)]);
    up_down_rule();
}

void LineStateLists::clear_selections() {
    for (auto& item : exclude_) item.selected = false;
    for (auto& item : include_) item.selected = false;
    to_include_ = to_exclude_ = up_ = down_ = false;
}

void LineStateLists::up_down_rule() {
    const auto count =
        std::count_if(include_.begin(), include_.end(), [](const LineStateItem& i) { return i.selected; });
    if (count != 1) {
        up_ = down_ = false;
        return;
    }
    up_ = !include_.front().selected;
    down_ = !include_.back().selected;
}

}  // namespace capstore
