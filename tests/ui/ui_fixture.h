#pragma once
// The test template with every control kind, dialogs for modal cases, and a
// headless back end whose unanswered dialogs fail the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/headless.h"
#include "platform/ui/resource.h"

namespace uitest {

// Control ids of the test template.
enum : int {
    kTestTemplate = 900,
    kNoCancelTemplate = 901,  // no button 2; button 8
    kInnerTemplate = 902,
    kStatic = 10,
    kGroup = 11,
    kBitmap = 12,
    kIconStatic = 13,
    kButton = 14,
    kIconButton = 15,
    kCheck = 16,
    kRadio = 17,
    kEdit = 18,
    kDigits = 19,
    kReadOnly = 20,
    kDropList = 21,
    kEditCombo = 22,
    kList = 23,
    kTree = 24,
    kGrid = 25,
    kHiddenButton = 26,
    kDisabledButton = 27,
    kButton8 = 8,
};

const ui::ResourceSet& TestResources();

// An application on the test resources whose start-up does nothing.
class TestApp : public ui::App {
public:
    TestApp() : ui::App(TestResources(), {}) {}
    ui::InitResult InitInstance() override { return ui::InitResult::Ok; }
};

// A fresh back end per test; failures it reports fail the test.
class HeadlessUi {
public:
    HeadlessUi() {
        backend.onFailure = [this](const std::string& what) {
            if (!expectFailures) ADD_FAILURE() << what;
        };
    }
    ui::HeadlessBackend backend;
    ui::Driver driver{backend};
    bool expectFailures = false;
};

}  // namespace uitest
