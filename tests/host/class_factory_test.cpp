// The module's exports and class factory, through the built DLL.
#include <gtest/gtest.h>

#include "tests/support/plugin_host.h"

using quorlix_test::PluginHost;

namespace {
const GUID kOtherClsid = {0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};
}

TEST(ClassFactory, ExportsResolveByName) {
    PluginHost host;
    ASSERT_TRUE(host.loaded());
    EXPECT_NE(nullptr, host.getClassObject);
    EXPECT_NE(nullptr, host.canUnloadNow);
    EXPECT_EQ(S_OK, host.canUnloadNow());
}

TEST(ClassFactory, GetClassObjectResults) {
    PluginHost host;
    ASSERT_TRUE(host.loaded());
    void *sentinel = reinterpret_cast<void *>(0x1234);
    void *out = sentinel;
    // Another class id: not available, and the out pointer is not touched.
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, host.getClassObject(kOtherClsid, IID_IClassFactory, &out));
    EXPECT_EQ(sentinel, out);
    // The factory answers only IUnknown and IClassFactory.
    EXPECT_EQ(E_NOINTERFACE, host.getClassObject(CLSID_QuorlixPlugin, IID_IPrintOemUI2, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, host.getClassObject(CLSID_QuorlixPlugin, IID_IClassFactory, nullptr));
    for (const GUID *iid : {&IID_IUnknown, &IID_IClassFactory}) {
        IUnknown *unk = nullptr;
        ASSERT_EQ(S_OK, host.getClassObject(CLSID_QuorlixPlugin, *iid, reinterpret_cast<void **>(&unk)));
        ASSERT_NE(nullptr, unk);
        EXPECT_EQ(2u, unk->AddRef());
        EXPECT_EQ(1u, unk->Release());
        EXPECT_EQ(0u, unk->Release());
    }
    EXPECT_EQ(S_OK, host.canUnloadNow());  // factories are not counted
}

TEST(ClassFactory, FactoryQueryInterface) {
    PluginHost host;
    IClassFactory *factory = host.factory();
    ASSERT_NE(nullptr, factory);
    void *out = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IPrintOemUI2, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, factory->QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(0u, factory->Release());
}

TEST(ClassFactory, CreateInstanceResults) {
    PluginHost host;
    IClassFactory *factory = host.factory();
    ASSERT_NE(nullptr, factory);
    void *out = reinterpret_cast<void *>(0x1234);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(S_OK, host.canUnloadNow());  // the refused object is gone again
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(reinterpret_cast<IUnknown *>(factory), IID_IUnknown, &out));
    EXPECT_EQ(S_OK, host.canUnloadNow());
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));

    IUnknown *object = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void **>(&object)));
    EXPECT_EQ(S_FALSE, host.canUnloadNow());
    EXPECT_EQ(0u, object->Release());
    EXPECT_EQ(S_OK, host.canUnloadNow());
    EXPECT_EQ(0u, factory->Release());
}

TEST(ClassFactory, LockServerHoldsTheModule) {
    PluginHost host;
    IClassFactory *factory = host.factory();
    ASSERT_NE(nullptr, factory);
    struct Step {
        BOOL lock;
        HRESULT canUnload;
    } steps[] = {{TRUE, S_FALSE}, {TRUE, S_FALSE}, {FALSE, S_FALSE}, {FALSE, S_OK}};
    for (const Step &s : steps) {
        EXPECT_EQ(S_OK, factory->LockServer(s.lock));
        EXPECT_EQ(s.canUnload, host.canUnloadNow());
    }
    factory->Release();
}
