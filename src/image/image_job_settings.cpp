// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_job_settings.h"

#include "core/settings_source.h"
#include "core/temp_area.h"

namespace brisklo {

ImageJobSettings ImageJobSettingsFor(const ImageOptions& options, const SettingsSource& settings) {
    ImageJobSettings job{options, settings.GetOutputFolder(), RunTemporaryFolder()};
    if (job.tempDir.empty()) job.tempDir = TemporaryRoot();
    job.keepOriginalIfLarger = settings.GetValid(Setting::KeepOriginalIfLarger) != 0;
    job.minSavingPercent = settings.GetValid(Setting::MinSavingPercent);
    return job;
}

}  // namespace brisklo
