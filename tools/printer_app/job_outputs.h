// Jobs printed into a folder (a file device on a directory) land in a file
// named after the job. PAPPL 1.3 can start one job on two threads, and each
// start opens that file anew and empties it, even after the job has printed.
// So a job writes to a partial file of its own that becomes the job's file
// when the job ends, and a finished file is set aside while a second start
// opens the name, and put back when that start ends.
#pragma once

#include <deque>
#include <string>

namespace tvzx::printer_app {

class JobOutputs {
public:
    // Keeps the files of this many of a printer's latest jobs in mind.
    static constexpr std::size_t kRemembered = 64;

    // Returns the partial file the job writes to; it becomes `file` when the
    // job ends.
    std::string stage(int jobId, const std::string& file);
    // A start of the job: a file it has already finished is set aside.
    void started(int jobId);
    // The end of a start of the job: its partial file becomes its file, or
    // the file set aside is put back.
    void ended(int jobId);

private:
    struct Output {
        int jobId = 0;
        std::string file;
        std::string partial;
        std::string aside;
        bool finished = false;
        bool setAside = false;
    };
    Output* find(int jobId);
    std::deque<Output> outputs_;
};

}  // namespace tvzx::printer_app
