#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "models/Profiles.h"

namespace tessra::testing {
namespace {

using models::applyProfile;

// What one profile assigns to one control.
struct Assigned {
    std::optional<std::string> caption;
    std::optional<bool> visible;
    std::optional<bool> enabled;
    friend bool operator==(const Assigned&, const Assigned&) = default;
};
using Assignments = std::map<std::string, Assigned>;

// Controls by object name, with what the window shows.
class FakeSurface final : public models::ControlSurface {
public:
    struct Control {
        std::string caption;
        bool visible = true;
        bool enabled = true;
        friend bool operator==(const Control&, const Control&) = default;
    };
    std::map<std::string, Control> controls;
    Assignments assigned;  // since the last clear
    int calls = 0;

    void setCaption(std::string_view c, std::string_view text) override {
        ++calls;
        controls[std::string(c)].caption = text;
        assigned[std::string(c)].caption = std::string(text);
    }
    void setVisible(std::string_view c, bool v) override {
        ++calls;
        controls[std::string(c)].visible = v;
        assigned[std::string(c)].visible = v;
    }
    void setEnabled(std::string_view c, bool e) override {
        ++calls;
        controls[std::string(c)].enabled = e;
        assigned[std::string(c)].enabled = e;
    }
};

Assigned shown(std::string caption) {
    return {caption, true, {}};
}
Assigned shownOnly() {
    return {{}, true, {}};
}
Assigned hiddenOnly() {
    return {{}, false, {}};
}
Assigned enabledOnly() {
    return {{}, {}, true};
}

void addMacControls(Assignments& a) {
    for (const char* c :
         {"Command12", "Command13", "VScroll1", "VScroll2", "VScroll3", "Label4", "Check1"})
        a[c] = enabledOnly();
}

Assignments orrinExpected() {
    Assignments a;
    for (const char* f : {"Frame8", "Frame10", "Frame14", "Frame15", "Frame16"}) a[f] = shownOnly();
    const char* speeds[] = {"Lv1 [250mm/s]", "Lv2 [230mm/s]", "Lv3 [210mm/s]", "Lv4 [190mm/s]",
                            "Lv5 [170mm/s]"};
    for (int i = 0; i < 5; ++i) a["Opt_PrintSpeed_" + std::to_string(i)] = shown(speeds[i]);
    const char* papers[] = {"TF50KS-E2D", "TF60KS-E", "P220VBB-1",   "PD160R",
                            "PD160R-63",  "KT48FA",   "Alpha400-2.1"};
    for (int i = 0; i < 7; ++i) a["Opt_PaperType_" + std::to_string(i)] = shown(papers[i]);
    addMacControls(a);
    a["Command17"] = shown("ESP32 WiFi Soft AP");
    a["Command18"] = shown("ESP32 WiFi Station");
    a["Command19"] = shown("ESP32 Bluetooth Classic");
    a["Command21"] = shown("ESP32 Bluetooth Classic+BLE");
    return a;
}

Assignments veldaExpected() {
    Assignments a;
    for (const char* f : {"Frame8", "Frame10", "Frame16"}) a[f] = shownOnly();
    for (const char* f : {"Frame14", "Frame15"}) a[f] = hiddenOnly();
    const char* speeds[] = {"Low Power", "Normal", "Slightly", "Dark", "High Speed"};
    for (int i = 0; i < 5; ++i) a["Opt_PrintSpeed_" + std::to_string(i)] = shown(speeds[i]);
    const char* papers[] = {"TF50KS-E2D", "TP50KJ-R",  "PD160R-63",
                            "PD160R-N",   "P220VBB-1", "KT55F20"};
    for (int i = 0; i < 6; ++i) a["Opt_PaperType_" + std::to_string(i)] = shown(papers[i]);
    a["Opt_PaperType_6"] = hiddenOnly();  // its caption is left as it was
    addMacControls(a);
    a["Command17"] = shown("WizFi250 (Soft AP)");
    a["Command18"] = shown("WizFi250 (Station)");
    a["Command19"] = {"", false, {}};
    // The WizFi250 module has no Bluetooth mode: the second Bluetooth button goes too.
    a["Command21"] = hiddenOnly();
    return a;
}

// The window as designed, before any profile: every control shown, the MAC
// controls and the seven dead buttons disabled.
FakeSurface designWindow() {
    FakeSurface s;
    for (const auto& [name, _] : orrinExpected()) s.controls[name] = {"design " + name, true, true};
    for (const char* c :
         {"Command12", "Command13", "VScroll1", "VScroll2", "VScroll3", "Label4", "Check1",
          "Command4", "Command6", "Command7", "Command8", "Command9", "Command10", "Command11"})
        s.controls[c].enabled = false;
    return s;
}

// Exactly: a control a profile must leave alone, such as a dead button, is absent.
TEST(Profiles, OrrinAssignsExactlyItsColumn) {
    FakeSurface s = designWindow();
    applyProfile(s, 0);
    EXPECT_EQ(s.assigned, orrinExpected());
}

TEST(Profiles, VeldaAssignsExactlyItsColumn) {
    FakeSurface s = designWindow();
    applyProfile(s, 1);
    EXPECT_EQ(s.assigned, veldaExpected());
}

TEST(Profiles, VeldaThenOrrinRestoresEverything) {
    FakeSurface once = designWindow();
    applyProfile(once, 0);
    FakeSurface back = designWindow();
    applyProfile(back, 0);
    applyProfile(back, 1);
    applyProfile(back, 0);
    EXPECT_EQ(back.controls, once.controls);
    EXPECT_EQ(back.controls["Command19"].caption, "ESP32 Bluetooth Classic");
    EXPECT_TRUE(back.controls["Command21"].visible);
    EXPECT_TRUE(back.controls["Opt_PaperType_6"].visible);
}

TEST(Profiles, OtherIndexesDoNothing) {
    for (int index : {-1, 2, 3, 100}) {
        FakeSurface s = designWindow();
        const auto before = s.controls;
        applyProfile(s, index);
        EXPECT_EQ(s.calls, 0) << index;
        EXPECT_EQ(s.controls, before) << index;
    }
}

}  // namespace
}  // namespace tessra::testing
