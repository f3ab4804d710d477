// What the all-band window and the weighted band level window have in common: one panel with the
// bar chart `chartCalcFFT` of every band slot and, in front of it when chosen, the list
// `vsElasticCalcList` of band names and values; the bars/list toggle, the copy button and Cancel.
// Each window keeps the level it shows for each slot, so that its commands never read a label.
#pragma once

#include "band_chart_model.h"
#include "band_label_grid.h"
#include "controls.h"
#include "form.h"
#include "model/xy_axis.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk {

class BandPanelForm : public platform::Form {
public:
    BandPanelForm(platform::UiServices& ui, std::string name);

    platform::BandBarChartModel chartCalcFFT;
    platform::ControlState vsElasticCalcList;
    // lblCalcFHz / lblCalcFdB, lblCalcAHz / lblCalcAdB, lblCalcHz(k) / lblCalcdB(k).
    platform::BandLabelGrid gridCalc;
    platform::CommandButton cmdCalcBarOrList;
    platform::CommandButton cmdCopyCalc;
    platform::CommandButton cmdCancel;

    void cmdCalcBarOrList_Click();
    virtual void cmdCopyCalc_Click() = 0;
    void cmdCancel_Click();

    // The level each slot shows (slot 1 first; -60 for no level), as the chart has it in band order.
    const std::vector<double>& SlotLevels() const { return levels_; }

protected:
    // Lays the list out for a band mode, its values blank.
    void SetUpList(std::int16_t oct1or3);
    // Sets the chart up for a band mode over the level axis `axis`, every bar at 0 dB.
    void SetUpChart(std::int16_t oct1or3, const CXYAxis& axis, std::string_view flatMark);
    // Shows one level per slot (slot 1 first) in the list and the chart; -60 and below as "---".
    void ShowLevels(std::int16_t oct1or3, std::vector<double> levels);
    std::vector<std::optional<double>> OptionalLevels() const;

private:
    std::vector<double> levels_;
};

}  // namespace murtesk
