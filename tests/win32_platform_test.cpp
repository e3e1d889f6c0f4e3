// The Windows system services behind the platform headers: temporary files
// with their sharing rules, named shared memory, worker processes and
// threads, self impersonation, loopback datagrams and the spooler's
// answers for unknown printers. Built only for Windows.
#if defined(_WIN32)

#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>

#include "config/printer_access.h"
#include "platform/security_context.h"
#include "platform/shared_memory.h"
#include "platform/spooler.h"
#include "platform/temporary_files.h"
#include "platform/udp_sockets.h"
#include "platform/worker_launch.h"

namespace {

using namespace tvzx::platform;

std::u16string temporaryDirectory() {
    wchar_t path[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 2, path);
    return std::u16string(reinterpret_cast<const char16_t*>(path), length);
}

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

void writeFile(const std::u16string& path, const std::string& content) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

bool fileExists(const std::u16string& path) { return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readAll(ReadableFile& file) {
    std::string content;
    std::uint8_t block[7];
    for (std::size_t got; (got = file.read(block, sizeof block)) > 0;) content.append(block, block + got);
    return content;
}

TEST(Win32TemporaryFiles, UniqueFileIsCreatedEmptyWithThePrefix) {
    TemporaryFiles& files = systemTemporaryFiles();
    const std::optional<std::u16string> path = files.createUnique(temporaryDirectory(), u"TP1");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->substr(path->find_last_of(u'\\') + 1, 3), u"TP1");
    auto file = files.openShared(*path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 0u);
    file.reset();
    EXPECT_TRUE(files.remove(*path));
    EXPECT_FALSE(fileExists(*path));
    // A file that is already gone counts as removed.
    EXPECT_TRUE(files.remove(*path));
    EXPECT_FALSE(files.createUnique(u"", u"TP1"));

    // Opened alone to be deleted on close, it goes with its reader.
    writeFile(*path, "body");
    auto alone = files.openExclusive(*path, true);
    ASSERT_TRUE(alone);
    EXPECT_EQ(readAll(*alone), "body");
    alone.reset();
    EXPECT_FALSE(fileExists(*path));
    // A name cut short by a NUL would name another file.
    EXPECT_FALSE(files.openShared(*path + std::u16string(1, u'\0') + u"x"));

    // A shared reader leaves the file to other shared readers but not to an
    // exclusive one, and an exclusive reader keeps it to itself.
    const std::string content = "%!PS-Adobe-3.0\r\n%%EOF\r\n";
    writeFile(*path, content);

    auto shared = files.openShared(*path);
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->size(), content.size());
    // While someone reads it, nobody gets the file alone...
    EXPECT_FALSE(files.openExclusive(*path, false));
    // ...but a second shared reader does, and sees the same bytes.
    auto second = files.openShared(*path);
    ASSERT_TRUE(second);
    EXPECT_EQ(readAll(*second), content);
    shared.reset();
    second.reset();

    auto exclusive = files.openExclusive(*path, false);
    ASSERT_TRUE(exclusive);
    EXPECT_FALSE(files.openShared(*path));
    exclusive.reset();
    EXPECT_TRUE(fileExists(*path));
    EXPECT_TRUE(files.remove(*path));
}

std::u16string uniqueBlockName(const char16_t* purpose) {
    return u"TvzxTest" + std::u16string(purpose) + u"_" +
           std::u16string(reinterpret_cast<const char16_t*>(std::to_wstring(GetCurrentProcessId()).c_str()));
}

TEST(Win32SharedMemory, ANameIsOneBlockWhileAViewOfItLasts) {
    SharedMemory& memory = systemSharedMemory();
    const std::u16string name = uniqueBlockName(u"Share");
    constexpr std::size_t kSize = 193824;
    auto created = memory.create(name, kSize);
    ASSERT_TRUE(created);
    ASSERT_EQ(created->size(), kSize);
    auto opened = memory.open(name, kSize);
    ASSERT_TRUE(opened);
    opened->data()[kSize - 1] = 0x33;
    EXPECT_EQ(created->data()[kSize - 1], 0x33);
    // A name already taken is not a new block.
    EXPECT_FALSE(memory.create(name, kSize));
    opened.reset();
    created.reset();
    // The block went with its last view.
    EXPECT_FALSE(memory.open(name, kSize));

    EXPECT_FALSE(memory.create(u"", 16));
    EXPECT_FALSE(memory.create(uniqueBlockName(u"Empty"), 0));
    EXPECT_FALSE(memory.open(uniqueBlockName(u"Missing"), 16));
}

// Threads and processes run to their end before the call returns; a worker
// that throws ends its thread, not the process.
TEST(Win32WorkerLaunch, WorkersAreWaitedForOrReportedAsNotStarted) {
    WorkerLauncher& launcher = systemWorkerLauncher();
    DWORD workerThread = 0;
    ASSERT_TRUE(launcher.runThread([&] { Sleep(50), workerThread = GetCurrentThreadId(); }));
    EXPECT_NE(workerThread, 0u);
    EXPECT_NE(workerThread, GetCurrentThreadId());
    EXPECT_TRUE(launcher.runThread([] { throw std::runtime_error("worker failed"); }));

    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH + 1);
    const std::u16string shell = std::u16string(reinterpret_cast<const char16_t*>(system), length) + u"\\cmd.exe";
    const std::u16string marker = temporaryDirectory() + u"tvzx_worker_marker.txt";
    DeleteFileW(wide(marker).c_str());
    EXPECT_TRUE(launcher.runProcess(shell, u"\"" + shell + u"\" /c echo done> \"" + marker + u"\""));
    EXPECT_TRUE(fileExists(marker));
    DeleteFileW(wide(marker).c_str());

    EXPECT_FALSE(launcher.runProcess(temporaryDirectory() + u"no_such_program.exe", u"no_such_program.exe"));
}

TEST(Win32SecurityContext, SelfImpersonationEndsWithItsScope) {
    {
        SelfImpersonation impersonation;
        ASSERT_TRUE(impersonation.active());
        HANDLE token = nullptr;
        ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
        CloseHandle(token);
    }
    // The thread had no impersonation before, and has none after.
    HANDLE token = nullptr;
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
}

TEST(Win32Sockets, DatagramReachesALoopbackReceiver) {
    SocketApi& api = systemSocketApi();
    ASSERT_TRUE(api.startLibrary());
    const auto resolved = api.resolve("127.0.0.1");
    ASSERT_TRUE(resolved && resolved->size() == 1u);

    // A receiver on a loopback port the system picks.
    SOCKET receiver = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_NE(receiver, INVALID_SOCKET);
    sockaddr_in bound{AF_INET, 0, {}, {}};
    bound.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(receiver, reinterpret_cast<const sockaddr*>(&bound), sizeof bound), 0);
    int boundLength = sizeof bound;
    ASSERT_EQ(getsockname(receiver, reinterpret_cast<sockaddr*>(&bound), &boundLength), 0);

    SocketAddress target = resolved->front();
    target.setPort(ntohs(bound.sin_port));
    const SocketHandle sender = api.openDatagram(kFamilyIPv4);
    ASSERT_NE(sender, kInvalidSocket);
    const std::uint8_t packet[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x11};
    EXPECT_EQ(api.sendTo(sender, packet, sizeof packet, target), static_cast<std::int64_t>(sizeof packet));
    // No address, no datagram.
    EXPECT_LT(api.sendTo(sender, packet, sizeof packet, SocketAddress{}), 0);

    char received[16] = {};
    DWORD timeout = 2000;
    setsockopt(receiver, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    ASSERT_EQ(recv(receiver, received, sizeof received, 0), static_cast<int>(sizeof packet));
    EXPECT_EQ(std::memcmp(received, packet, sizeof packet), 0);

    api.close(sender);
    closesocket(receiver);
    EXPECT_EQ(api.openDatagram(0), kInvalidSocket);
    EXPECT_FALSE(api.resolve("no-such-host.invalid"));
    // A name cut short by a NUL would be another host.
    EXPECT_FALSE(api.resolve(std::string_view("127.0.0.1\0.invalid", 18)));
    EXPECT_TRUE(api.adapters());
    api.stopLibrary();
}

TEST(Win32Spooler, UnknownPrintersAnswerNothing) {
    Spooler& spooler = systemSpooler();
    for (const char16_t* name : {u"No Such Printer For tvzx", u""}) EXPECT_EQ(spooler.openPrinter(name), nullptr);
    EXPECT_FALSE(spooler.printerName(nullptr) || spooler.printerDevMode(nullptr) || spooler.jobParameters(nullptr, 1));
    EXPECT_EQ(spooler.printerData(nullptr), nullptr);
    spooler.closePrinter(nullptr);

    // The printer access object finds the keyed values, device capabilities
    // and forms through the same spooler.
    auto* queries = dynamic_cast<tvzx::config::SpoolerQueries*>(&spooler);
    ASSERT_NE(queries, nullptr);
    EXPECT_FALSE(queries->readKeyValue(nullptr, "DsDriver", "printBinNames"));
    EXPECT_EQ(queries->deviceCapability(nullptr, tvzx::config::kCapabilityBins).count, -1);
    EXPECT_FALSE(queries->forms(nullptr));
}

}  // namespace

#endif
