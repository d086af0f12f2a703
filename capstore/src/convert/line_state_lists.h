// The "Exclude" and "Include" lists of line states on the print page, with
// their selections, the four arrow buttons and the moves between the lists.
#pragma once
#include <string_view>
#include <vector>

namespace capstore {

// Line-state indices and the names the lists show.
inline constexpr std::string_view kLineStateNames[8] = {"RS", "CS", "DR", "CD", "ER", "SQ", "CI", "EX"};

struct LineStateItem {
    int index;
    bool selected = false;
    bool operator==(const LineStateItem&) const = default;
};

class LineStateLists {
public:
    // Include gets the entries in order up to the first negative one (at most
    // eight, each once); Exclude the rest in ascending order. Arrows off.
    void load(const signed char (&states)[8]);
    // The stored form: Include's indices in list order, the rest -1.
    void store(signed char (&states)[8]) const;

    // Selection changes by the user (positions in the list).
    void select_exclude(const std::vector<int>& positions);
    void select_include(const std::vector<int>& positions);

    void move_to_include();  // 2171
    void move_to_exclude();  // 2172
    void move_up();          // 2173
    void move_down();        // 2174
    // The lists are disabled (line states unticked, or the Translation group).
    void clear_selections();

    const std::vector<LineStateItem>& exclude() const { return exclude_; }
    const std::vector<LineStateItem>& include() const { return include_; }
    bool to_include_enabled() const { return to_include_; }
    bool to_exclude_enabled() const { return to_exclude_; }
    bool up_enabled() const { return up_; }
    bool down_enabled() const { return down_; }

private:
    void up_down_rule();
    void move_by(int step);

    std::vector<LineStateItem> exclude_;
    std::vector<LineStateItem> include_;
    bool to_include_ = false;
    bool to_exclude_ = false;
    bool up_ = false;
    bool down_ = false;
};

}  // namespace capstore
