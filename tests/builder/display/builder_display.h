#pragma once

// The base of the builder's display tests: the private X server and the
// display backend started once for all tests, layouts from the source tree,
// shell starts recorded only, and an application for the test's windows.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/shell/ShellExecute.h"
#include "tests/platform/display/display_loop.h"

template <class Base>
class TBuilderDisplay : public Base {
protected:
    static void SetUpTestSuite() { Skip = DisplayLoop::StartBackend(); }
    // Skips the test without a display; the caller's SetUp ends when it did.
    void StartApplication()
    {
        if (!Skip.empty())
            GTEST_SKIP() << Skip;
        SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
        SetShellRecordOnly(true);
        App = std::make_unique<TApplication>();
    }
    void TearDown() override
    {
        App.reset();
        DisplayLoop::Pump(50);
    }

    static inline std::string Skip;
    std::unique_ptr<TApplication> App;
};
