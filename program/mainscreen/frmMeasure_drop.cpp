// A project file dropped on the path box opens in place of the open one, which is saved first and
// stays open when the dropped one cannot be read.
#include "frmMeasure.h"

#include "globals.h"
#include "platform/dropped_text.h"

#include <filesystem>
#include <system_error>

namespace murtesk {

namespace fs = std::filesystem;

void frmMeasure::txtSavePath_Drop(const platform::DropData& data)
{
    std::string path;
    if (data.Text) {
        const std::optional<std::vector<std::string>> paths = platform::DroppedTextPaths(*data.Text);
        // One project opens at a time: a text naming several files names none.
        if (!paths || paths->size() > 1) {
            ui_.MsgBox("ドロップされた文字列は無効です.");
            return;
        }
        if (!paths->empty()) {
            path = paths->front();
        }
    } else if (!data.Files.empty()) {
        path = data.Files.front();
    }
    std::error_code ec;
    const bool isFile = !path.empty() && fs::is_regular_file(fs::u8path(path), ec);
    if (!isFile || !HasProjectExtension(path)) {
        return;
    }
    // The open project keeps its memo and list: it is saved before the other one replaces it.
    if (!g_bStartSelect && !SaveMemoAndData()) {
        return;
    }
    std::unique_ptr<ProjectDocument> kept = std::move(g_Preserve);
    g_Preserve = g_NewDocument();
    g_Preserve->AdoptChannelConditions(*kept);
    g_Preserve->SetSaveFilePath(path);
    const std::int32_t keptIndex = m_MeasureIndex;
    std::string opened = path;
    if (OpenProject(opened)) {
        g_bStartSelect = false;
        UpdateProjectCommands();
        return;
    }
    if (!OpenDeclined()) {
        ui_.MsgBox("指定のファイルは開けませんでした.");
    }
    g_Preserve = std::move(kept);
    m_MeasureIndex = keptIndex;
    if (!g_bStartSelect) {
        ShowProjectPath();
    }
    EditForm();
}

}  // namespace murtesk
