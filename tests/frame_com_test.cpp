// The COM face of the plug-in: class factory, plug-in object, interface
// answers, GetInfo and the helper interfaces.
#include <gtest/gtest.h>

#include "device/module_state.h"
#include "frame/helper_adapters.h"
#include "frame_fixtures.h"
#include "platform/last_error.h"

namespace tvzx {
namespace {

using namespace tvzx::win;

IPrintOemPS2* newPlugin() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(frame::getClassObject(&CLSID_OEMRENDER, &IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    IPrintOemPS2* plugin = nullptr;
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IPrintOemPS2, reinterpret_cast<void**>(&plugin)),
              S_OK);
    EXPECT_EQ(factory->lpVtbl->Release(factory), 0u);
    return plugin;
}

// Returns what a call that hands out an interface answers, and the pointer it
// left in place of a stale one.
template <typename Call>
std::pair<HRESULT, void*> handedOut(Call call) {
    void* out = reinterpret_cast<void*>(1);
    const HRESULT result = call(&out);
    return {result, out};
}

TEST(FrameCom, ClassObjectAndFactoryRefuseWhatTheyDoNotMakeAndThePlugInAnswersItsThreeInterfaces) {
    using Answer = std::pair<HRESULT, void*>;
    EXPECT_EQ(handedOut([](void** out) { return frame::getClassObject(&IID_IUnknown, &IID_IClassFactory, out); }),
              Answer(CLASS_E_CLASSNOTAVAILABLE, nullptr));
    EXPECT_EQ(frame::getClassObject(&CLSID_OEMRENDER, &IID_IClassFactory, nullptr), E_OUTOFMEMORY);
    EXPECT_EQ(handedOut([](void** out) { return frame::getClassObject(&CLSID_OEMRENDER, &IID_IPrintOemPS, out); }),
              Answer(E_NOINTERFACE, nullptr));

    IClassFactory* factory = frame::createClassFactory();
    const auto query = [factory](const GUID* iid) {
        return handedOut([&](void** out) { return factory->lpVtbl->QueryInterface(factory, iid, out); });
    };
    const auto create = [factory](IUnknown* outer, const GUID* iid) {
        return handedOut([&](void** out) { return factory->lpVtbl->CreateInstance(factory, outer, iid, out); });
    };
    EXPECT_EQ(query(&IID_IUnknown), Answer(S_OK, factory));
    EXPECT_EQ(query(&IID_IPrintOemPS2), Answer(E_NOINTERFACE, nullptr));
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IPrintOemPS2, nullptr), E_POINTER);
    EXPECT_EQ(create(reinterpret_cast<IUnknown*>(factory), &IID_IPrintOemPS2), Answer(CLASS_E_NOAGGREGATION, nullptr));
    EXPECT_EQ(create(nullptr, &IID_IClassFactory), Answer(E_NOINTERFACE, nullptr));
    factory->lpVtbl->Release(factory);
    factory->lpVtbl->Release(factory);

    // The plug-in answers its three interfaces only.
    IPrintOemPS2* plugin = newPlugin();
    const auto ask = [plugin](const GUID* iid) {
        return handedOut([&](void** out) { return plugin->lpVtbl->QueryInterface(plugin, iid, out); });
    };
    for (const GUID* iid : {&IID_IUnknown, &IID_IPrintOemPS, &IID_IPrintOemPS2}) {
        EXPECT_EQ(ask(iid), (std::pair<HRESULT, void*>(S_OK, plugin)));
        plugin->lpVtbl->Release(plugin);
    }
    EXPECT_EQ(ask(&IID_IClassFactory), (std::pair<HRESULT, void*>(E_NOINTERFACE, nullptr)));
    EXPECT_EQ(plugin->lpVtbl->QueryInterface(plugin, &IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(plugin->lpVtbl->WritePrinter(plugin, nullptr, nullptr, 0, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
}

TEST(FrameCom, GetInfoAnswersOrFailsWithTheLastErrorSet) {
    // The signature and version are checked by the host in every job.
    DWORD value = 0, needed = 0;
    EXPECT_EQ(frame::getInfo(OEMGI_GETREQUESTEDHELPERINTERFACES, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, OEMPUBLISH_IPRINTCOREHELPER);
    needed = 0;
    EXPECT_EQ(frame::getInfo(OEMGI_GETPUBLISHERINFO, &value, sizeof value, &needed), E_NOTIMPL);
    EXPECT_EQ(needed, 8u);
    // Returns the answer and the last error it left.
    const auto failure = [](HRESULT result) { return std::pair(result, platform::lastError()); };
    using Failure = std::pair<HRESULT, decltype(platform::lastError())>;
    EXPECT_EQ(failure(frame::getInfo(OEMGI_GETINTERFACEVERSION, &value, sizeof value, &needed)),
              Failure(E_FAIL, ERROR_INVALID_PARAMETER));
    EXPECT_EQ(failure(frame::getInfo(OEMGI_GETSIGNATURE, &value, sizeof value, nullptr)), Failure(E_FAIL, ERROR_INVALID_PARAMETER));
    std::uint8_t shortBuffer[3] = {0xAA, 0xAA, 0xAA};
    EXPECT_EQ(failure(frame::getInfo(OEMGI_GETSIGNATURE, shortBuffer, sizeof shortBuffer, &needed)),
              Failure(E_FAIL, ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(shortBuffer[0], 0xAA);
    EXPECT_EQ(failure(frame::getInfo(OEMGI_GETSIGNATURE, nullptr, 4, &needed)), Failure(E_FAIL, ERROR_INSUFFICIENT_BUFFER));
}

// Each helper reference the plug-in takes is given back by DisableDriver or
// the last release; a second publication keeps what is held. A command
// before any helper writes nothing, yet succeeds.
TEST(FrameCom, HelpersAreHeldUntilDisableDriverOrTheLastRelease) {
    testing::FakeEnvironment environment;
    testing::FakeDevice device;
    testing::FakeDriverHelpers host;
    IPrintOemPS2* plugin = newPlugin();
    DWORD result = 1;
    EXPECT_EQ(plugin->lpVtbl->Command(plugin, &device.devObj, PSINJECT_ENDSTREAM, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, nullptr), E_FAIL);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(host.references, 2);
    EXPECT_EQ(plugin->lpVtbl->DisableDriver(plugin), S_OK);
    EXPECT_EQ(host.references, 0);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
    EXPECT_EQ(host.references, 0);
}

// A CONVERT or MERGE that names a device whose document is under way
// leaves the core driver's layout flag as the job set it; without a job
// under way, or through a DEVOBJ too small to be trusted, the flag follows
// the settings.
TEST(FrameCom, DevModeDuringADocumentKeepsTheLayoutFlag) {
    testing::FakeEnvironment environment;
    testing::FakeDevice device;
    device.blockSettings().setOption(settings::FieldId::NUpCount, 3);
    std::vector<std::uint8_t> input = device.privateBlock;
    OEMDMPARAM param{.cbSize = sizeof param, .pdriverobj = &device.devObj, .hPrinter = nullptr, .hModule = nullptr,
                     .pPublicDMIn = &device.publicDevmode(),
                     .pPublicDMOut = &device.publicDevmode(), .pOEMDMIn = input.data(),
                     .pOEMDMOut = device.privateBlock.data(), .cbBufSize = settings::kPrivateBlockSize};
    for (const DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
        for (const auto& [underWay, size] : {std::pair{1, sizeof(DEVOBJ)}, {0, sizeof(DEVOBJ)}, {1, sizeof(DEVOBJ) - 1}}) {
            device.devObj.dwSize = static_cast<DWORD>(size);
            device.state().documentStartCount = underWay;
            device.layoutFlag() = 0;
            EXPECT_EQ(frame::devMode(mode, &param, frame::environment()), S_OK);
            EXPECT_EQ(device.layoutFlag(), underWay == 1 && size == sizeof(DEVOBJ) ? 0 : 1) << mode << " " << size;
        }
    }
    device.devObj.dwSize = sizeof(DEVOBJ);
}

// A driver that takes at most two bytes of each piece, and what it took.
std::string partlyTaken;
HRESULT TVZX_STDCALL takeTwoBytes(IPrintOemDriverPS*, DEVOBJ*, void* buffer, DWORD size, DWORD* written) {
    *written = std::min<DWORD>(size, 2);
    partlyTaken.append(static_cast<const char*>(buffer), *written);
    return S_OK;
}

// A piece the driver takes only in part fails the output, and the pieces
// after it are dropped rather than written with a gap before them.
TEST(FrameCom, APieceTakenInPartEndsTheOutput) {
    const IPrintOemDriverPSVtbl table{nullptr, nullptr, nullptr, nullptr, takeTwoBytes};
    IPrintOemDriverPS helper{&table};
    frame::DriverHelperSink sink(&helper, nullptr);
    for (const std::string_view piece : {"ab", "cde", "f"}) sink.write(piece);
    EXPECT_EQ(std::pair(partlyTaken, sink.failed()), std::pair(std::string("abcd"), true));
}

}  // namespace
}  // namespace tvzx
