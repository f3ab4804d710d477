#include "long_job.h"

#include "frmMeasure.h"

#include <array>

namespace murtesk {

namespace {

constexpr std::array kJobs{
    LongJob{1, &frmMeasure::AllCalcJob, JobEnd::Message, "全測定の再計算を終了しました．", true},
    LongJob{3, &frmMeasure::AllLchOrangeDelete, JobEnd::Message,
            "全測定Ｌcｈの補正特性オレンジ範囲を全バンドの計算除外範囲に変更しました．", true},
    LongJob{4, &frmMeasure::CalcPlural, JobEnd::CombinedMeasure, nullptr},
    LongJob{5, &frmMeasure::DataCSVOut, JobEnd::TextFile, nullptr, true, true},
    LongJob{7, &frmMeasure::AllLchOrange, JobEnd::Message, "全測定Ｌcｈ補正特性のオレンジ範囲を作成しました．", true},
    LongJob{8, &frmMeasure::DataCSVOut2, JobEnd::TextFile, nullptr, true},
    LongJob{9, &frmMeasure::DataCSVOut3, JobEnd::TextFile, nullptr, true},
    LongJob{10, &frmMeasure::DataCSVOut4, JobEnd::TextFile, nullptr, true},
    LongJob{11, &frmMeasure::LmaxCSVOut, JobEnd::TextFile, nullptr},
    LongJob{12, &frmMeasure::AllDataPartitionAreaCSVOut, JobEnd::TextFile, nullptr, true},
};

}  // namespace

const LongJob* FindLongJob(std::int16_t code) {
    for (const LongJob& job : kJobs) {
        if (job.code == code) {
            return &job;
        }
    }
    return nullptr;
}

}  // namespace murtesk
