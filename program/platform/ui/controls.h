// Control states that form models hold under each control's name. A view binds each one to a
// widget and shows it again after every handler; the form model only reads and writes these.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace murtesk::platform {

struct ControlState {
    bool Enabled = true;
    bool Visible = true;
    std::string ToolTipText;
};

struct CommandButton : ControlState {
    std::string Caption;
};

struct Label : ControlState {
    std::string Caption;
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
};

struct ListRow {
    std::vector<std::string> Texts;  // one per column
    bool Checked = false;
};

// A report-style list with optional check boxes and one selected row (0-based index, -1 = none).
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

}  // namespace murtesk::platform
