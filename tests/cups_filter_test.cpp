// The CUPS filter's reading of a job: the queue's PPD with its defaults and
// the job's options marked as CUPS marks them, turned into the job's edits
// in the order they are applied, the copies settled against the document,
// and the settings files a job may name.
#if defined(TVZX_HAVE_CUPS_FILTER)
#include "queue_job.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/byte_source.h"
#include "host/spooler_features.h"
#include "stream_text.h"

namespace tvzx::cups_filter {
namespace {

using testing::count;
const std::string kShippedPpd = std::string(TVZX_SOURCE_DIR) + "/data/tvzx.ppd";

// Reads the job as the filter does: the PPD's defaults, then the job's
// options marked. Throws OptionRefused.
QueueJob readJob(const std::string& options, const std::string& ppdPath = kShippedPpd, std::uint32_t copies = 1) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath.c_str());
    if (ppd == nullptr) throw std::runtime_error("cannot read " + ppdPath);
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(options.c_str(), 0, &parsed);
    ppdMarkDefaults(ppd);
    cupsMarkOptions(ppd, count, parsed);
    FilterArguments arguments{42, "root", "report", copies, options, "tvzx"};
    struct Release {
        ppd_file_t* ppd;
        int count;
        cups_option_t* options;
        ~Release() {
            cupsFreeOptions(count, options);
            ppdClose(ppd);
        }
    } release{ppd, count, parsed};
    return readQueueJob(arguments, ppd, count, parsed);
}

std::vector<std::string> edits(const QueueJob& job) {
    std::vector<std::string> texts;
    for (const host::SettingsEdit& edit : job.request.settings)
        if (edit.singleAssignment) texts.push_back(edit.text);
    return texts;
}

// Returns the refusal's message; empty when the job is taken.
std::string refusal(const std::string& options) {
    try {
        readJob(options);
    } catch (const OptionRefused& refused) {
        return refused.what();
    }
    return {};
}

using Texts = std::vector<std::string>;

TEST(CupsFilterJob, StandardAttributesFollowTheQueueDefaultsThenCopiesSecurePrintAndAccount) {
    // The options come in any order (libcups sorts them by name); the edits
    // come in the order the host applies them, and the log masks the
    // password.
    const QueueJob job = readJob("job-account-id=Sales job-password=4711 ZVStaple=2StapleWide finishings=punch-dual-left "
                                 "landscape sides=two-sided-short-edge output-bin=stAPLersub",
                                 kShippedPpd, 3);
    EXPECT_EQ(edits(job), (Texts{"Staple=2StaplesWide", "Punch=2Holes", "Binding=Left", "Orientation=Land",
                                 "OutputBin=StaplerSub", "Duplex=True", "Binding=Top", "NumCopies=3", "OutputMethod=Secure",
                                 "WaitModeSecurePrintId=\"root\"", "WaitModePassword=\"4711\"", "AccountTrack=True",
                                 "AccountTrackDepartmentName=\"Sales\""}));
    EXPECT_NE(job.settingsLog.find("WaitModePassword=***\n"), std::string::npos);
    EXPECT_EQ(job.settingsLog.find("4711"), std::string::npos);
}

TEST(CupsFilterJob, QueueDefaultsGiveWayToTheJobsChoices) {
    // lpadmin writes a queue's defaults into its copy of the PPD.
    std::ifstream in(kShippedPpd);
    std::string ppd((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto [from, to] : {std::pair{"*DefaultZVStaple: None", "*DefaultZVStaple: 1Staple(Left)"},
                            std::pair{"*DefaultZVInstStapler: True", "*DefaultZVInstStapler: False"},
                            std::pair{"*DefaultZVDuplex: True", "*DefaultZVDuplex: False"}}) {
        const std::size_t at = ppd.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        ppd.replace(at, std::string_view(from).size(), to);
    }
    const std::string path = std::filesystem::temp_directory_path().string() + "/cups_filter_test_queue.ppd";
    std::ofstream(path) << ppd;

    const QueueJob queue = readJob("", path);
    EXPECT_EQ(edits(queue), (Texts{"Duplex=False", "Staple=1StapleLeft", "NumCopies=1"}));
    const QueueJob job = readJob("ZVStaple=None ZVDuplex=True", path);
    EXPECT_EQ(edits(job), (Texts{"NumCopies=1"}));
    // The installed options come from the queue, not from the job: a
    // stapler the queue lacks stays missing, and the printer data says so.
    ASSERT_TRUE(job.request.edits.installed);
    EXPECT_NE(*job.request.edits.installed, *readJob("").request.edits.installed);
    EXPECT_NE(job.printerData.find("\"DefaultDuplex\"=dword:00000000"), std::string::npos);
    std::remove(path.c_str());
}

TEST(CupsFilterJob, EachKindOfOptionRefusesWhatTheQueueCannotDo) {
    EXPECT_EQ(refusal("ZVStaple=Bogus"), "option ZVStaple=Bogus: names no choice of this option");
    EXPECT_EQ(refusal("finishings=4,6"), "option finishings=4,6: is not a value this printer supports");
    EXPECT_EQ(refusal("output-bin=top"), "option output-bin=top: names no output bin of this printer");
    EXPECT_EQ(refusal("media=Tray9"), "option media=Tray9: names no paper size, tray or media type of this printer");
    EXPECT_EQ(refusal("tvzx-mac-address=00:11:22:33:44"), "option tvzx-mac-address=00:11:22:33:44: is not a network (MAC) address");
    EXPECT_EQ(refusal("job-password=123456789"), "option job-password: the password must have 1 to 8 bytes");
    EXPECT_EQ(refusal("job-account-id=Marketing"), "option job-account-id=Marketing: the account must have 1 to 8 bytes");
    // What CUPS's own filters do (page ranges, pages on a sheet) and what a
    // queue may take besides passes.
    for (const char* taken : {"media=A4,Tray2", "media=iso_a5_148x210mm", "number-up=2 page-ranges=1-3",
                              "tvzx-mac-address=00:00:5E:00:53:2A"})
        EXPECT_EQ(refusal(taken), "") << taken;
}

TEST(CupsFilterJob, CustomSizeWithinThePrintersLimitsBecomesTheCustomPaper) {
    // 300 by 500 points, as PageSize or as media; the record keeps tenths
    // of a micrometre.
    const Texts custom{"PageSize=25", "CustomPageSizeWidth=1058333", "CustomPageSizeHeight=1763889", "NumCopies=1"};
    EXPECT_EQ(edits(readJob("PageSize=Custom.300x500")), custom);
    EXPECT_EQ(edits(readJob("media=Custom.300x500")), custom);
    // The PPD's limits are 283 to 918 by 419 to 1369 points, both ends taken.
    EXPECT_EQ(refusal("PageSize=Custom.283x1369"), "");
    EXPECT_EQ(refusal("PageSize=Custom.918x419"), "");
    for (const char* outside : {"PageSize=Custom.282x400", "PageSize=Custom.919x400", "PageSize=Custom.300x418",
                                "media=Custom.300x1370"})
        EXPECT_NE(refusal(outside).find("is outside the custom sizes of this printer (283x419 to 918x1369 points)"),
                  std::string::npos)
            << outside;
}

TEST(CupsFilterJob, CopiesLeftInTheDocumentReplaceTheCopiesCupsCounted) {
    QueueJob job = readJob("", kShippedPpd, 3);
    // CUPS's PostScript filter collated the copies and left one to the printer.
    host::MemorySource source("%!PS-Adobe-3.0\n%RBINumCopies: 1\n%%EndComments\n%%Page: 1 1\n");
    host::SpoolerFeatureFilter document(source);
    EXPECT_EQ(settleCopies(job, 3, document.printerCopies()), 1u);
    EXPECT_EQ(edits(job), Texts{"NumCopies=1"});
    // Without the comment, or when it says the same, the count stands.
    QueueJob counted = readJob("", kShippedPpd, 4);
    EXPECT_EQ(settleCopies(counted, 4, 4), 4u);
    EXPECT_EQ(settleCopies(counted, 4, std::nullopt), 4u);
    EXPECT_EQ(edits(counted), Texts{"NumCopies=4"});
}

// A user with the given identity, in one group besides their own.
UserIdentity user(uid_t uid, gid_t group) { return UserIdentity{uid, {uid, group}}; }

struct stat fileOf(uid_t owner, gid_t group, mode_t mode) {
    struct stat status {};
    status.st_uid = owner;
    status.st_gid = group;
    status.st_mode = S_IFREG | mode;
    return status;
}

TEST(CupsFilterJob, PermissionBitsDecideAsTheSystemDoes) {
    const UserIdentity alice = user(1000, 50);
    // The owner's bits alone count for the owner, a group's for a member,
    // the others' for everyone else; folders are searched by their execute bits.
    const std::tuple<uid_t, gid_t, mode_t, Access, bool> rows[] = {
        {1000, 0, 0400, Access::Read, true},    {1000, 1000, 0044, Access::Read, false}, {0, 50, 0040, Access::Read, true},
        {0, 50, 0604, Access::Read, false},     {0, 7, 0004, Access::Read, true},        {0, 7, 0640, Access::Read, false},
        {0, 0, 0600, Access::Read, false},      {1000, 0, 0100, Access::Search, true},   {1000, 0, 0477, Access::Search, false},
        {0, 50, 0010, Access::Search, true},    {0, 50, 0741, Access::Search, false},    {0, 7, 0001, Access::Search, true}};
    for (const auto& [owner, group, mode, access, may] : rows)
        EXPECT_EQ(userMay(alice, fileOf(owner, group, mode), access), may) << owner << " " << group << " " << std::oct << mode;
    // Root reads everything.
    EXPECT_TRUE(userMay(user(0, 0), fileOf(1000, 1000, 0), Access::Read));
}

TEST(CupsFilterJob, SettingsFileIsTakenOnlyWhenTheJobsUserMayReadIt) {
    const std::optional<UserIdentity> nobody = findUser("nobody");
    ASSERT_TRUE(nobody);
    EXPECT_EQ(nobody->uid, 65534u);
    ASSERT_TRUE(findUser("root"));
    EXPECT_EQ(findUser("root")->groups, std::vector<gid_t>{0});
    EXPECT_FALSE(findUser("no-such-user-here"));

    // A folder everyone may search, holding a file of the filter's account.
    const std::string folder = std::filesystem::temp_directory_path().string() + "/cups_filter_test_settings";
    ::mkdir(folder.c_str(), 0755);
    ::chmod(folder.c_str(), 0755);
    const std::string path = folder + "/job.settings";
    std::ofstream(path) << "Staple=1StapleLeft\n";
    const auto readAs = [&](const std::string& name) {
        QueueJob job;
        ppd_file_t* ppd = ppdOpenFile(kShippedPpd.c_str());
        cups_option_t option{const_cast<char*>("tvzx-settings"), const_cast<char*>(path.c_str())};
        ppdMarkDefaults(ppd);
        std::string refused;
        try {
            job = readQueueJob(FilterArguments{1, name, "t", 1, "", "tvzx"}, ppd, 1, &option);
        } catch (const OptionRefused& error) {
            refused = error.what();
        }
        ppdClose(ppd);
        return refused.empty() && job.request.settings.size() == 2 && job.request.settings[0].text == "Staple=1StapleLeft\n"
                   ? std::string("taken")
                   : refused;
    };
    const std::string refused = "option tvzx-settings=" + path + ": not a settings file the job's user may read";
    ::chmod(path.c_str(), 0644);
    // (The folders above the temporary one are searchable by all where the
    // tests run as root, as under CI.)
    const bool root = ::geteuid() == 0;
    if (root) {
        EXPECT_EQ(readAs("nobody"), "taken");
    }
    EXPECT_EQ(readAs("no-such-user-here"), refused);
    // Only the filter's own account may read it.
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(readAs("nobody"), refused);
    if (root) {
        EXPECT_EQ(readAs("root"), "taken");
    }
    // A folder the user may not search hides the file, whatever its bits.
    ::chmod(path.c_str(), 0644);
    ::chmod(folder.c_str(), 0700);
    EXPECT_EQ(readAs("nobody"), refused);
    std::remove(path.c_str());
    ::rmdir(folder.c_str());
}

// The filter as CUPS runs it, its standard streams on pipes.
class RunningFilter {
public:
    explicit RunningFilter(const std::string& options) {
        // A filter that ends early must not end the test with it.
        std::signal(SIGPIPE, SIG_IGN);
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("no pipe");
        const std::string program = std::string(TVZX_BINARY_DIR) + "/tools/cups_filter/pstotvzx";
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            for (int descriptor : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(descriptor);
            setenv("PPD", kShippedPpd.c_str(), 1);
            execl(program.c_str(), "pstotvzx", "7", "root", "report", "1", options.c_str(), nullptr);
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        in_ = in[1];
        out_ = out[0];
        err_ = err[0];
    }
    ~RunningFilter() {
        closeInput();
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
        close(out_);
        close(err_);
    }
    // Writes the bytes (a filter that has ended takes no more).
    void send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t count = write(in_, bytes.data(), bytes.size());
            if (count <= 0) return;
            bytes.remove_prefix(static_cast<std::size_t>(count));
        }
    }
    void closeInput() {
        if (in_ >= 0) close(in_);
        in_ = -1;
    }
    // Returns what standard output held within the time, at least `wanted` bytes.
    std::string receive(std::size_t wanted, int milliseconds) {
        std::string got;
        pollfd ready{out_, POLLIN, 0};
        char chunk[65536];
        while (got.size() < wanted && poll(&ready, 1, milliseconds) > 0) {
            const ssize_t count = read(out_, chunk, sizeof chunk);
            if (count <= 0) break;
            got.append(chunk, static_cast<std::size_t>(count));
        }
        return got;
    }
    // Returns the exit status once the filter has ended, with its standard error.
    int finish(std::string& errors) {
        closeInput();
        char chunk[4096];
        ssize_t count = 0;
        while ((count = read(err_, chunk, sizeof chunk)) > 0) errors.append(chunk, static_cast<std::size_t>(count));
        int status = 0;
        waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
};

std::string pages(int from, int to) {
    std::string text;
    for (int page = from; page <= to; ++page)
        text += "%%Page: " + std::to_string(page) + " " + std::to_string(page) +
                "\n/Times-Roman findfont 12 scalefont setfont\n" + std::string(400, ' ') + "\n72 720 moveto (page) show\nshowpage\n";
    return text;
}

TEST(CupsFilterStream, PrinterGetsTheJobBeforeTheDocumentEndsAndAFailedJobEndsWithTheUniversalExit) {
    constexpr std::string_view kUniversalExit = "\x1b%-12345X";
    RunningFilter filter("sides=two-sided-long-edge");
    // The document comes in two parts; the second only once the printer has
    // had its first bytes, and it ends inside a document included in a page.
    std::promise<void> printing;
    std::thread document([&filter, started = printing.get_future()] {
        filter.send("%!PS-Adobe-3.0\n%%Pages: 1000\n%%EndComments\n%%EndProlog\n" + pages(1, 400));
        if (started.wait_for(std::chrono::seconds(60)) == std::future_status::ready)
            filter.send(pages(401, 410) + "%%Page: 411 411\n%%BeginDocument: (cut)\n");
        filter.closeInput();
    });
    const std::string first = filter.receive(64 * 1024, 30000);
    printing.set_value();
    const std::string rest = first + filter.receive(SIZE_MAX, 30000);
    document.join();
    ASSERT_GE(first.size(), 64u * 1024) << "nothing before the end of the document";
    EXPECT_TRUE(first.starts_with(std::string(kUniversalExit) + "@PJL\r\n"));
    EXPECT_NE(first.find("@PJL SET DUPLEX=ON"), std::string::npos);
    std::string errors;
    EXPECT_EQ(filter.finish(errors), 1);
    EXPECT_TRUE(rest.ends_with(kUniversalExit));
    EXPECT_EQ(count(errors, "ERROR:"), 1u) << errors;
}

TEST(CupsFilterStream, OptionsAreCheckedBeforeTheFirstByte) {
    RunningFilter filter("finishings=staple,bogus");
    filter.send("%!PS-Adobe-3.0\n%%EndComments\n" + pages(1, 2) + "%%EOF\n");
    filter.closeInput();
    EXPECT_EQ(filter.receive(1, 30000), "");
    std::string errors;
    EXPECT_EQ(filter.finish(errors), 1);
    EXPECT_EQ(errors.substr(errors.find("ERROR:")),
              "ERROR: option finishings=staple,bogus: is not a value this printer supports\n");
}

}  // namespace
}  // namespace tvzx::cups_filter
#endif
