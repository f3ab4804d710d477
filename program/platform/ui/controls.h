// Control states that form models hold under each control's name. A view binds each one to a
// widget and shows it again after every handler; the form model only reads and writes these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace murtesk::platform {

// A colour of a control's text or background.
struct ControlColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const ControlColor&, const ControlColor&) = default;
};

struct ControlState {
    bool Enabled = true;
    bool Visible = true;
    std::string ToolTipText;
};

struct CommandButton : ControlState {
    std::string Caption;
    std::int32_t Picture = 0;  // an icon of the program's own (kIcon...), 0 for none
};

// The program's own button pictures.
inline constexpr std::int32_t kIconList = 102;  // a list of values
inline constexpr std::int32_t kIconBars = 106;  // a bar chart
inline constexpr std::int32_t kIconCopy = 107;  // two sheets: a copy to the clipboard

struct Label : ControlState {
    std::string Caption;
    std::optional<ControlColor> ForeColor;  // the window's usual text colour when not set
};

struct TextBox : ControlState {
    std::string Text;
    bool Locked = false;
};

struct CheckBox : ControlState {
    std::string Caption;
    bool Value = false;
};

struct MenuItem : ControlState {
    std::string Caption;  // empty for a separator
    bool Checked = false;
};

enum class ColumnAlignment { Left, Right, Center };

struct ListColumn {
    std::string Text;
    int WidthTwips = 1500;  // 15 twips are one pixel at 96 dpi
    ColumnAlignment Alignment = ColumnAlignment::Left;
    // Widened to its texts the first time the list shows rows, never narrowed.
    bool AutoSize = false;

    bool operator==(const ListColumn&) const = default;
};

struct ListRow {
    std::vector<std::string> Texts;  // one per column
    bool Checked = false;
};

// A report-style list with optional check boxes and one selected row (0-based index, -1 = none).
// The columns take their widths when they are set; a width the user gives a column then stays.
struct ListView : ControlState {
    std::vector<ListColumn> Columns;
    std::vector<ListRow> Rows;
    bool Checkboxes = false;
    int SelectedIndex = -1;

    void Clear()
    {
        Rows.clear();
        SelectedIndex = -1;
    }
};

// A drop-down list with one 32-bit item datum per entry; ListIndex is the selected entry (-1 none).
// Setting ListIndex in code does not run the click handler by itself: the form model calls it.
// An Editable box also takes typed text: Text is what the box shows, the selected entry's text
// after Select, the user's own text after typing (ListIndex then names the entry of that very
// text, or -1).
struct ComboBox : ControlState {
    std::vector<std::string> Items;
    std::vector<std::int32_t> ItemData;
    int ListIndex = -1;
    bool Editable = false;
    std::string Text;

    // Selects an entry (-1: none) and shows its text.
    void Select(int index) {
        ListIndex = index;
        Text = index >= 0 && index < ListCount() ? Items[static_cast<std::size_t>(index)] : std::string();
    }

    int ListCount() const { return static_cast<int>(Items.size()); }
    void AddItem(std::string text, std::int32_t data = 0)
    {
        Items.push_back(std::move(text));
        ItemData.push_back(data);
    }
    void Clear()
    {
        Items.clear();
        ItemData.clear();
        ListIndex = -1;
    }
    // The selected entry's item datum; fallback when nothing is selected.
    std::int32_t SelectedData(std::int32_t fallback = 0) const
    {
        return ListIndex >= 0 && ListIndex < ListCount() ? ItemData[static_cast<std::size_t>(ListIndex)] : fallback;
    }
};

// A list of texts, each with a 32-bit item datum. With MultiSelect several entries may be selected at
// once; ListIndex is the current entry (-1 none), which in a single-selection list is also the
// selected one.
struct ListBox : ControlState {
    std::vector<std::string> Items;
    std::vector<bool> Selected;  // one flag per entry
    std::vector<std::int32_t> ItemData;
    int ListIndex = -1;
    bool MultiSelect = false;

    int ListCount() const { return static_cast<int>(Items.size()); }
    void AddItem(std::string text, std::int32_t data = 0) {
        Items.push_back(std::move(text));
        Selected.push_back(false);
        ItemData.push_back(data);
    }
    void RemoveItem(int index)
    {
        Items.erase(Items.begin() + index);
        Selected.erase(Selected.begin() + index);
        ItemData.erase(ItemData.begin() + index);
        if (ListIndex >= ListCount()) {
            ListIndex = ListCount() - 1;
        }
    }
    void Clear()
    {
        Items.clear();
        Selected.clear();
        ItemData.clear();
        ListIndex = -1;
    }
    bool IsSelected(int index) const { return Selected[static_cast<std::size_t>(index)]; }
    void SetSelected(int index, bool selected) { Selected[static_cast<std::size_t>(index)] = selected; }
};

// A list box whose lines are made only when shown: the form keeps what the lines show and gives
// the text of row i (0-based) on demand, so a list of a million lines costs nothing to fill.
// ListIndex is the selected row (-1 none); setting it in code runs no handler.
struct VirtualListBox : ControlState {
    using RowText = std::function<std::string(int row)>;

    int ListIndex = -1;

    int ListCount() const { return count_; }
    // The text of a row; empty outside the list.
    std::string List(int row) const { return row >= 0 && row < count_ && rowText_ ? rowText_(row) : std::string(); }
    // Empties the list.
    void Clear() { SetRows(0, {}); }
    // Replaces every row: `count` rows whose texts `rowText` makes. Nothing stays selected.
    void SetRows(int count, RowText rowText) {
        count_ = count < 0 ? 0 : count;
        rowText_ = std::move(rowText);
        ListIndex = -1;
        ++revision_;
    }
    // Changes whenever the rows are replaced, so that a view knows to ask for them again.
    std::uint64_t Revision() const { return revision_; }

private:
    int count_ = 0;
    RowText rowText_;
    std::uint64_t revision_ = 0;
};

// What a drop of files or text onto a control carries.
struct DropData {
    std::vector<std::string> Files;   // full paths, in the order dropped
    std::optional<std::string> Text;  // plain text, when the drop carries any
};

// A scroll bar. Value lies in Min..Max; SetMax pulls Value in when it falls outside, as a scroll
// bar does. The view reports only the user's moves, never a change made in code.
struct ScrollBar : ControlState {
    int Min = 0;
    int Max = 32767;
    int Value = 0;
    int SmallChange = 1;
    int LargeChange = 1;

    void SetMax(int max) {
        Max = max;
        if (Value > Max) {
            Value = Max;
        }
    }
};

// A slider (a track bar) with its thumb at Value in Min..Max. The view reports only the user's
// moves; moves that come faster than the handler runs are taken together, so the handler sees the
// newest value only.
struct Slider : ControlState {
    int Min = 0;
    int Max = 10;
    int Value = 0;
    int SmallChange = 1;
    int LargeChange = 5;
};

// One option button of a group; the colours are the system's own when not set.
struct OptionButton : ControlState {
    std::string Caption;
    bool Value = false;
    std::optional<ControlColor> ForeColor;
    std::optional<ControlColor> BackColor;
};

// Option buttons that exclude each other (a control array): choosing one clears the others.
struct OptionGroup : ControlState {
    std::vector<OptionButton> Buttons;

    OptionButton& operator[](int index) { return Buttons[static_cast<std::size_t>(index)]; }
    const OptionButton& operator[](int index) const { return Buttons[static_cast<std::size_t>(index)]; }
    int Count() const { return static_cast<int>(Buttons.size()); }
    void Select(int index) {
        for (int i = 0; i < Count(); ++i) {
            Buttons[static_cast<std::size_t>(i)].Value = i == index;
        }
    }
    // The chosen button's index; -1 when none is chosen.
    int Selected() const {
        for (int i = 0; i < Count(); ++i) {
            if (Buttons[static_cast<std::size_t>(i)].Value) {
                return i;
            }
        }
        return -1;
    }
};

// Tab pages: one caption per page and the page on show (0-based).
struct TabStrip : ControlState {
    std::vector<std::string> Captions;
    int Tab = 0;
};

}  // namespace murtesk::platform
