#include "job_outputs.h"

#include <algorithm>
#include <cstdio>

namespace tvzx::printer_app {
namespace {

constexpr const char* kPartialSuffix = ".partial-";
constexpr const char* kAsideSuffix = ".kept-";

// Returns a hidden name beside the file for one job: ".NAME.SUFFIXID".
std::string besideName(const std::string& file, const char* suffix, int jobId) {
    const std::size_t slash = file.rfind('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    return file.substr(0, base) + "." + file.substr(base) + suffix + std::to_string(jobId);
}

}  // namespace

JobOutputs::Output* JobOutputs::find(int jobId) {
    const auto found = std::find_if(outputs_.begin(), outputs_.end(), [jobId](const Output& output) {
        return output.jobId == jobId;
    });
    return found == outputs_.end() ? nullptr : &*found;
}

std::string JobOutputs::stage(int jobId, const std::string& file) {
    if (Output* known = find(jobId)) return known->partial;
    if (outputs_.size() == kRemembered) outputs_.pop_front();
    outputs_.push_back({jobId, file, besideName(file, kPartialSuffix, jobId), besideName(file, kAsideSuffix, jobId)});
    return outputs_.back().partial;
}

void JobOutputs::started(int jobId) {
    Output* output = find(jobId);
    // Only a finished file is at risk; one still being written is the
    // partial file, which no start opens.
    if (output == nullptr || !output->finished || output->setAside) return;
    output->setAside = std::rename(output->file.c_str(), output->aside.c_str()) == 0;
}

void JobOutputs::ended(int jobId) {
    Output* output = find(jobId);
    if (output == nullptr) return;
    if (!output->finished) {
        std::rename(output->partial.c_str(), output->file.c_str());
        output->finished = true;
    } else if (output->setAside) {
        std::rename(output->aside.c_str(), output->file.c_str());
        output->setAside = false;
    }
}

}  // namespace tvzx::printer_app
