// LineFixture.h - a fake D2XX with one device opened through the transport,
// for tests of the framing and the transport.
#ifndef LINEFIXTURE_H
#define LINEFIXTURE_H

#include <gtest/gtest.h>

#include "FakeD2xx.h"
#include "Ftdio.h"
#include "TestWake.h"
#include "qdxlink.h"

class FakeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override
    {
        QDX_CloseDevice();
        FT_HANDLE h = nullptr;
        if (Ftdio_Handle != nullptr)
            Ftdio_Close(h);
        EXPECT_EQ(fake::Misuse(), 0) << "a call used a handle that was not open";
    }
};

class LineTest : public FakeLibraryTest {
protected:
    void SetUp() override
    {
        FakeLibraryTest::SetUp();
        device = &fake::AddDevice();
        FT_HANDLE h = nullptr;
        ASSERT_TRUE(Ftdio_Open(0, h));
    }
    fake::Device *device = nullptr;
};

#endif
